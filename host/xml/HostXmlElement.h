#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/XmlElement.h"

namespace orvex {

class HostXmlDocument;
class HostXmlTree;

// An element of a host XML document: a pugixml node with the tree it lives in, which it keeps
// alive, and the document object it belongs to.
class ORVEX_HOST_EXPORT HostXmlElement : public XmlElement {
public:
    HostXmlElement(std::shared_ptr<HostXmlDocument> document, std::shared_ptr<HostXmlTree> tree,
                   pugi::xml_node node);

    QString TagName() const override;
    void SetTagName(const QString& tagName) override;
    QString GetAttribute(const QString& name) const override;
    // Raises 5 for a name that is no XML name.
    void SetAttribute(const QString& name, const QString& value) override;
    // The element's own text, not that of its child elements.
    QString Text() const override;
    void SetText(const QString& text) override;
    std::shared_ptr<XmlElement> FindChild(const QString& tagName) const override;
    bool HasChildren() const override;
    int32_t ChildCount() const override;
    std::shared_ptr<XmlElement> Child(int32_t index) const override;
    // Raises 5 for an element of another document, for this element itself and for its ancestors.
    void AppendChild(const std::shared_ptr<XmlElement>& child) override;
    std::shared_ptr<XmlDocument> Document() const override;

    const std::shared_ptr<HostXmlTree>& Tree() const { return m_tree; }
    pugi::xml_node Node() const { return m_node; }

private:
    std::shared_ptr<XmlElement> Wrap(pugi::xml_node node) const;
    // The child elements, listed once per change of the tree: indexing them one by one stays linear.
    const std::vector<pugi::xml_node>& Children() const;

    std::shared_ptr<HostXmlDocument> m_document;
    std::shared_ptr<HostXmlTree> m_tree;
    pugi::xml_node m_node;
    mutable std::vector<pugi::xml_node> m_children;
    mutable uint64_t m_childrenVersion = UINT64_MAX;  // a version the tree never reaches: not listed yet
};

}  // namespace orvex
