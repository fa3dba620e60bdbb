#pragma once

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <pugixml.hpp>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "hostapi/XmlDocument.h"

namespace orvex {

class HostXmlTree;

// A host XML document over pugixml. A successful load gives the document a new tree; elements
// taken from the old one keep working on it but can no longer be mixed with the new content.
class ORVEX_HOST_EXPORT HostXmlDocument : public XmlDocument,
                                          public std::enable_shared_from_this<HostXmlDocument> {
public:
    static constexpr int32_t kErrFileNotFound = HostErrors::kFileNotFound;
    static constexpr int32_t kErrFileAccess = HostErrors::kFileAccess;
    static constexpr int32_t kErrBadDocument = HostErrors::kBadDocument;
    static constexpr qint64 kMaxDocumentSize = qint64{16} * 1024 * 1024;
    // What a read document may build: every file of this host stays far within these, and a tree
    // past them would only spend memory, and the stack of whoever walks it recursively.
    static constexpr int kMaxDepth = 32;
    static constexpr int kMaxElements = 200000;

    // Elements refer back to their document, so documents are always held by a shared_ptr.
    static std::shared_ptr<HostXmlDocument> Create();

    void Load(const QString& path) override;
    void LoadText(const QString& text) override;
    void Save(const QString& path) const override;
    QString ToText() const override;
    std::shared_ptr<XmlElement> DocumentElement() const override;
    // Raises 5 for an element of another document; the former document element stays usable.
    void SetDocumentElement(const std::shared_ptr<XmlElement>& element) override;
    // Raises 5 for a name that is no XML name.
    std::shared_ptr<XmlElement> CreateElement(const QString& tagName) override;

private:
    HostXmlDocument();
    // Parses into a new tree and takes it only when the parse succeeded.
    void Parse(const QByteArray& data, pugi::xml_encoding encoding, const QString& name);
    std::shared_ptr<XmlElement> Wrap(pugi::xml_node node) const;

    std::shared_ptr<HostXmlTree> m_tree;
};

}  // namespace orvex
