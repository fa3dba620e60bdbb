#pragma once

#include <QString>

#include "host/platform/HostExport.h"

namespace orvex {

// One stored revision of a visit: which visit, its number among the visit's revisions, the command
// that stored it and when, the checksum of the visit as it was then, and its seal. Each seal is the
// hash of the seal stored before it in the same database and of this revision's canonical form, so
// a revision changed, deleted, inserted or moved breaks the chain where it was.
struct ORVEX_HOST_EXPORT HostRevision {
    // Its place in the database's chain (a row key, in the order stored); 0 before it is stored.
    qint64 position = 0;
    QString visit;
    int number = 0;
    QString command;
    // ISO 8601, UTC.
    QString archived;
    // SHA-256 of the visit's canonical form, in hex.
    QString content;
    QString seal;

    // The seal this revision takes after the one stored before it (empty for the first).
    QString SealAfter(const QString& previous) const;
    // What paper shows of a seal: its first 16 hex digits in groups of four.
    static QString Short(const QString& seal);
    // A seal as typed from paper (spaces, dashes and case dropped); empty when it holds anything
    // but hex digits or fewer than a short seal's.
    static QString Typed(const QString& text);
};

}  // namespace orvex
