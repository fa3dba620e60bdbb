#include "HostXmlTree.h"

namespace orvex {

namespace {

// Collects pugixml's output.
class ByteWriter : public pugi::xml_writer {
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}
    void write(const void* data, size_t size) override {
        m_out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }

private:
    QByteArray& m_out;
};

// Indentation costs two blanks a level on every line, which grows with the square of the nesting
// depth; a document that would need more than this much of it is written without.
constexpr uint64_t kMaxIndentation = 16 * 1024 * 1024;

class IndentationMeter : public pugi::xml_tree_walker {
public:
    bool for_each(pugi::xml_node& /*node*/) override {
        // The opening and the closing line of a node below the one traversed.
        m_used += 4 * (static_cast<uint64_t>(depth()) + 1);
        return m_used <= kMaxIndentation;
    }

private:
    uint64_t m_used = 0;
};

bool IsNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char(':'); }

bool IsNameChar(QChar c) {
    return IsNameStart(c) || c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char('.');
}

}  // namespace

HostXmlTree::HostXmlTree() : m_holder(m_document.append_child(pugi::node_element)) {}

pugi::xml_parse_result HostXmlTree::Parse(const QByteArray& data, pugi::xml_encoding encoding) {
    // Loading replaces every node, the holder included.
    const pugi::xml_parse_result result = m_document.load_buffer(
        data.constData(), static_cast<size_t>(data.size()), pugi::parse_default, encoding);
    m_holder = m_document.append_child(pugi::node_element);
    ++m_version;
    return result;
}

pugi::xml_node HostXmlTree::DocumentElement() const {
    for (pugi::xml_node node = m_document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && node != m_holder) return node;
    }
    return {};
}

pugi::xml_node HostXmlTree::CreateElement(const QString& tagName) {
    pugi::xml_node element = m_holder.append_child(pugi::node_element);
    element.set_name(tagName.toUtf8().constData());
    return element;
}

void HostXmlTree::SetDocumentElement(pugi::xml_node element) {
    const pugi::xml_node current = DocumentElement();
    if (current == element) return;
    if (current) m_holder.append_move(current);
    m_document.prepend_move(element);
    ++m_version;
}

bool HostXmlTree::AppendChild(pugi::xml_node parent, pugi::xml_node child) {
    if (!parent.append_move(child)) return false;
    ++m_version;
    return true;
}

QByteArray HostXmlTree::Print() const {
    const auto printed = [this](pugi::xml_node node) {
        return node != m_holder && node.type() != pugi::node_declaration;
    };
    IndentationMeter meter;
    bool indent = true;
    for (pugi::xml_node node = m_document.first_child(); node && indent; node = node.next_sibling()) {
        if (printed(node)) indent = node.traverse(meter);
    }
    QByteArray out("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    ByteWriter writer(out);
    for (pugi::xml_node node = m_document.first_child(); node; node = node.next_sibling()) {
        if (printed(node))
            node.print(writer, "  ", indent ? pugi::format_indent : pugi::format_raw, pugi::encoding_utf8);
    }
    return out;
}

bool HostXmlTree::IsName(const QString& name) {
    if (name.isEmpty() || !IsNameStart(name.front())) return false;
    for (const QChar c : name) {
        if (!IsNameChar(c)) return false;
    }
    return true;
}

}  // namespace orvex
