#pragma once

#include <QString>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

class XmlElement;

// A host XML document. Load and Save raise a ComError with the file's name and the parser's
// reason when they fail; a failed load leaves the document as it was.
class ORVEX_HOSTAPI_EXPORT XmlDocument : public virtual IUnknown {
public:
    ~XmlDocument() override;

    virtual void Load(const QString& path) = 0;
    virtual void LoadText(const QString& text) = 0;
    // Writes to a temporary file beside the target and renames it, so a failed save never
    // leaves a half-written file behind.
    virtual void Save(const QString& path) const = 0;
    virtual QString ToText() const = 0;
    virtual std::shared_ptr<XmlElement> DocumentElement() const = 0;
    virtual void SetDocumentElement(const std::shared_ptr<XmlElement>& element) = 0;
    // A new element of this document, not yet placed anywhere.
    virtual std::shared_ptr<XmlElement> CreateElement(const QString& tagName) = 0;
};

}  // namespace orvex
