#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

class XmlDocument;

// An element of a host XML document. Missing attributes read as empty text; missing children as none.
class ORVEX_HOSTAPI_EXPORT XmlElement : public virtual IUnknown {
public:
    ~XmlElement() override;

    virtual QString TagName() const = 0;
    // Renames the element; raises 5 for a text that is no element name.
    virtual void SetTagName(const QString& tagName) = 0;
    virtual QString GetAttribute(const QString& name) const = 0;
    virtual void SetAttribute(const QString& name, const QString& value) = 0;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    // The first child element with that tag name.
    virtual std::shared_ptr<XmlElement> FindChild(const QString& tagName) const = 0;
    virtual bool HasChildren() const = 0;
    // The Children list: child elements only, counted and indexed from 0; an index outside raises 9.
    virtual int32_t ChildCount() const = 0;
    virtual std::shared_ptr<XmlElement> Child(int32_t index) const = 0;
    // Moves an element of the same document (for instance one just created) to the end of the children.
    virtual void AppendChild(const std::shared_ptr<XmlElement>& child) = 0;
    virtual std::shared_ptr<XmlDocument> Document() const = 0;
};

}  // namespace orvex
