#include "HostXmlElement.h"

#include <utility>

#include "host/xml/HostXmlDocument.h"
#include "host/xml/HostXmlTree.h"
#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.XmlElement");

bool IsText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

}  // namespace

HostXmlElement::HostXmlElement(std::shared_ptr<HostXmlDocument> document, std::shared_ptr<HostXmlTree> tree,
                               pugi::xml_node node)
    : m_document(std::move(document)), m_tree(std::move(tree)), m_node(node) {}

QString HostXmlElement::TagName() const { return QString::fromUtf8(m_node.name()); }

void HostXmlElement::SetTagName(const QString& tagName) {
    if (!HostXmlTree::IsName(tagName)) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: \"%1\" is no element name").arg(tagName));
    }
    m_node.set_name(tagName.toUtf8().constData());
}

QString HostXmlElement::GetAttribute(const QString& name) const {
    return QString::fromUtf8(m_node.attribute(name.toUtf8().constData()).value());
}

void HostXmlElement::SetAttribute(const QString& name, const QString& value) {
    if (!HostXmlTree::IsName(name)) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: \"%1\" is no attribute name").arg(name));
    }
    const QByteArray key = name.toUtf8();
    pugi::xml_attribute attribute = m_node.attribute(key.constData());
    if (!attribute) attribute = m_node.append_attribute(key.constData());
    attribute.set_value(value.toUtf8().constData());
}

QString HostXmlElement::Text() const {
    QByteArray text;
    for (pugi::xml_node node = m_node.first_child(); node; node = node.next_sibling()) {
        if (IsText(node)) text += node.value();
    }
    return QString::fromUtf8(text);
}

void HostXmlElement::SetText(const QString& text) {
    // Text nodes are never wrapped, so removing them cannot leave an element dangling.
    for (pugi::xml_node node = m_node.first_child(); node;) {
        const pugi::xml_node next = node.next_sibling();
        if (IsText(node)) m_node.remove_child(node);
        node = next;
    }
    if (!text.isEmpty()) m_node.append_child(pugi::node_pcdata).set_value(text.toUtf8().constData());
}

std::shared_ptr<XmlElement> HostXmlElement::FindChild(const QString& tagName) const {
    const pugi::xml_node child = m_node.child(tagName.toUtf8().constData());
    return child ? Wrap(child) : nullptr;
}

bool HostXmlElement::HasChildren() const { return !Children().empty(); }

int32_t HostXmlElement::ChildCount() const { return static_cast<int32_t>(Children().size()); }

std::shared_ptr<XmlElement> HostXmlElement::Child(int32_t index) const {
    const auto& children = Children();
    if (index < 0 || static_cast<size_t>(index) >= children.size()) {
        throw ComError(
            ComError::kSubscriptOutOfRange, kSource,
            QStringLiteral("Subscript out of range: child %1 of %2").arg(index).arg(children.size()));
    }
    return Wrap(children[static_cast<size_t>(index)]);
}

void HostXmlElement::AppendChild(const std::shared_ptr<XmlElement>& child) {
    const auto element = std::dynamic_pointer_cast<HostXmlElement>(child);
    if (!child) throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required"));
    if (!element || element->m_tree != m_tree) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: the element belongs to another document"));
    }
    if (!m_tree->AppendChild(m_node, element->m_node)) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: an element cannot contain itself"));
    }
}

std::shared_ptr<XmlDocument> HostXmlElement::Document() const { return m_document; }

std::shared_ptr<XmlElement> HostXmlElement::Wrap(pugi::xml_node node) const {
    return std::make_shared<HostXmlElement>(m_document, m_tree, node);
}

const std::vector<pugi::xml_node>& HostXmlElement::Children() const {
    if (m_childrenVersion != m_tree->Version()) {
        m_children.clear();
        for (pugi::xml_node node = m_node.first_child(); node; node = node.next_sibling()) {
            if (node.type() == pugi::node_element) m_children.push_back(node);
        }
        m_childrenVersion = m_tree->Version();
    }
    return m_children;
}

}  // namespace orvex
