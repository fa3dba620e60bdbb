#include "HostXmlTree.h"

#include "host/platform/HostUtf8.h"

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
constexpr uint64_t kMaxIndentation = uint64_t{16} * 1024 * 1024;

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

class BoundsMeter : public pugi::xml_tree_walker {
public:
    BoundsMeter(int maxDepth, int maxElements) : m_maxDepth(maxDepth), m_maxElements(maxElements) {}

    bool for_each(pugi::xml_node& node) override {
        const pugi::xml_node named = node.type() == pugi::node_element ? node : node.parent();
        bool utf8 = IsUtf8(node.name()) && IsUtf8(node.value());
        for (const pugi::xml_attribute& attribute : node.attributes())
            utf8 = utf8 && IsUtf8(attribute.name()) && IsUtf8(attribute.value());
        if (!utf8) {
            m_excess = QStringLiteral("element \"%1\" holds text that is not UTF-8")
                           .arg(QString::fromUtf8(named.name()));
            return false;
        }
        if (node.type() != pugi::node_element) return true;
        // depth() counts from 0 below the node traversed, the document.
        if (depth() + 1 > m_maxDepth) {
            m_excess = QStringLiteral("elements nested deeper than %1").arg(m_maxDepth);
        } else if (++m_elements > m_maxElements) {
            m_excess = QStringLiteral("more than %1 elements").arg(m_maxElements);
        }
        return m_excess.isEmpty();
    }
    const QString& Excess() const { return m_excess; }

private:
    const int m_maxDepth;
    const int m_maxElements;
    int m_elements = 0;
    QString m_excess;
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

QString HostXmlTree::Unfit(int maxDepth, int maxElements) const {
    BoundsMeter meter(maxDepth, maxElements);
    pugi::xml_node whole = m_document;
    whole.traverse(meter);
    return meter.Excess();
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
