#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <pugixml.hpp>

#include "host/platform/HostExport.h"

namespace orvex {

// The pugixml document behind one host XML document and its elements. No node is destroyed while
// the tree lives: an element taken out of its place (a replaced document element, one just
// created) is parked under a hidden holder node, so every element wrapper holding the tree stays
// valid.
class ORVEX_HOST_EXPORT HostXmlTree {
public:
    HostXmlTree();
    HostXmlTree(const HostXmlTree&) = delete;
    HostXmlTree& operator=(const HostXmlTree&) = delete;

    // Reads a whole document into a tree that no element refers to yet.
    pugi::xml_parse_result Parse(const QByteArray& data, pugi::xml_encoding encoding);

    // Why the tree is not for a reader to take: elements nested deeper than maxDepth, more than
    // maxElements of them, or a name or text that is not UTF-8 (two different bytes would both read
    // as the same replacement character, two monitors as one asset); empty when it is fit. Walks
    // without recursion.
    QString Unfit(int maxDepth, int maxElements) const;

    // The first top-level element; an empty node when there is none.
    pugi::xml_node DocumentElement() const;
    // The name must be an XML name (see IsName).
    pugi::xml_node CreateElement(const QString& tagName);
    // The element's place is taken over; the former document element is parked.
    void SetDocumentElement(pugi::xml_node element);
    // False when the child is the parent itself or one of its ancestors.
    bool AppendChild(pugi::xml_node parent, pugi::xml_node child);
    // Counts structural changes, so that callers can tell when a cached child list is stale.
    uint64_t Version() const { return m_version; }

    // UTF-8 with an XML declaration, indented by two blanks (unless the nesting is so deep that the
    // indentation alone would be many megabytes); the holder is never part of it.
    QByteArray Print() const;

    // A name that keeps a written document well-formed: a letter, "_" or ":" first, then also
    // digits, "-" and "."; letters beyond ASCII are accepted as they are.
    static bool IsName(const QString& name);

private:
    pugi::xml_document m_document;
    pugi::xml_node m_holder;
    uint64_t m_version = 0;
};

}  // namespace orvex
