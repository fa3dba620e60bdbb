#include "HostXmlDocument.h"

#include <QFile>
#include <algorithm>

#include "host/platform/HostAtomicFile.h"
#include "host/xml/HostXmlElement.h"
#include "host/xml/HostXmlTree.h"
#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.XmlDocument");

[[noreturn]] void RaiseTooLarge(const QString& name) {
    throw ComError(HostXmlDocument::kErrBadDocument, kSource,
                   QStringLiteral("%1: larger than %2 MiB, not a document this host reads")
                       .arg(name)
                       .arg(HostXmlDocument::kMaxDocumentSize / (qint64{1024} * 1024)));
}

// What is read at a time from a device that does not know its size.
constexpr qint64 kPiece = qint64{64} * 1024;

// Reads up to one byte beyond the limit, in pieces of the given size, so that a file that grows
// meanwhile is still read to its end or refused.
QByteArray ReadBounded(QFile& file, qint64 pieceSize) {
    QByteArray data;
    while (data.size() <= HostXmlDocument::kMaxDocumentSize) {
        const QByteArray piece =
            file.read(std::min(pieceSize, HostXmlDocument::kMaxDocumentSize + 1 - data.size()));
        if (piece.isEmpty()) break;
        data += piece;
    }
    return data;
}

[[noreturn]] void RaiseInvalidCall(const QString& reason) {
    throw ComError(ComError::kInvalidProcedureCall, kSource,
                   QStringLiteral("Invalid procedure call: ") + reason);
}

}  // namespace

std::shared_ptr<HostXmlDocument> HostXmlDocument::Create() {
    return std::shared_ptr<HostXmlDocument>(new HostXmlDocument());
}

HostXmlDocument::HostXmlDocument() : m_tree(std::make_shared<HostXmlTree>()) {}

void HostXmlDocument::Load(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        throw ComError(kErrFileNotFound, kSource, QStringLiteral("File not found: %1").arg(path));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw ComError(kErrFileAccess, kSource, QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    if (file.size() > kMaxDocumentSize) RaiseTooLarge(path);
    // Read one byte beyond the limit: a device or pipe may not know its size in advance. A file
    // that does is read with a buffer of its size; one of the limit's would cost megabytes each time.
    const qint64 known = file.size();
    const QByteArray data = ReadBounded(file, known > 0 ? known + 1 : kPiece);
    if (file.error() != QFileDevice::NoError) {
        throw ComError(kErrFileAccess, kSource, QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    if (data.size() > kMaxDocumentSize) RaiseTooLarge(path);
    Parse(data, pugi::encoding_auto, path);
}

void HostXmlDocument::LoadText(const QString& text) {
    const QByteArray data = text.toUtf8();
    if (data.size() > kMaxDocumentSize) RaiseTooLarge(QStringLiteral("(text)"));
    // The text is already decoded: a declaration naming another encoding must not recode it.
    Parse(data, pugi::encoding_utf8, QStringLiteral("(text)"));
}

void HostXmlDocument::Parse(const QByteArray& data, pugi::xml_encoding encoding, const QString& name) {
    auto tree = std::make_shared<HostXmlTree>();
    const pugi::xml_parse_result result = tree->Parse(data, encoding);
    if (!result) {
        throw ComError(kErrBadDocument, kSource,
                       QStringLiteral("%1: at offset %2: %3")
                           .arg(name)
                           .arg(static_cast<qint64>(result.offset))
                           .arg(QString::fromUtf8(result.description())));
    }
    const QString unfit = tree->Unfit(kMaxDepth, kMaxElements);
    if (!unfit.isEmpty()) throw ComError(kErrBadDocument, kSource, QStringLiteral("%1: %2").arg(name, unfit));
    m_tree = std::move(tree);
}

void HostXmlDocument::Save(const QString& path) const {
    HostAtomicFile::Write(path, m_tree->Print(), kSource);
}

QString HostXmlDocument::ToText() const { return QString::fromUtf8(m_tree->Print()); }

std::shared_ptr<XmlElement> HostXmlDocument::DocumentElement() const {
    const pugi::xml_node node = m_tree->DocumentElement();
    return node ? Wrap(node) : nullptr;
}

void HostXmlDocument::SetDocumentElement(const std::shared_ptr<XmlElement>& element) {
    const auto own = std::dynamic_pointer_cast<HostXmlElement>(element);
    if (!element) throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required"));
    if (!own || own->Tree() != m_tree)
        RaiseInvalidCall(QStringLiteral("the element belongs to another document"));
    m_tree->SetDocumentElement(own->Node());
}

std::shared_ptr<XmlElement> HostXmlDocument::CreateElement(const QString& tagName) {
    if (!HostXmlTree::IsName(tagName))
        RaiseInvalidCall(QStringLiteral("\"%1\" is no element name").arg(tagName));
    return Wrap(m_tree->CreateElement(tagName));
}

std::shared_ptr<XmlElement> HostXmlDocument::Wrap(pugi::xml_node node) const {
    // The document hands out elements from const members too; they may change it all the same.
    auto self = std::const_pointer_cast<HostXmlDocument>(shared_from_this());
    return std::make_shared<HostXmlElement>(std::move(self), m_tree, node);
}

}  // namespace orvex
