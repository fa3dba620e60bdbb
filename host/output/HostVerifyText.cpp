#include "HostVerifyText.h"

#include "host/output/HostVisitText.h"

namespace orvex {

QStringList HostVerifyText::Lines(const HostResultsDatabase::Verification& verification, const QString& typed,
                                  const QString& location) {
    QStringList lines;
    for (const auto& found : verification.breaks) {
        const QString where =
            found.position > 0
                ? QStringLiteral("revision %1 of visit %2 (asset %3, performed %4), position %5 in the chain")
                      .arg(found.revision)
                      .arg(found.visit, HostVisitText::OneField(found.assetId), found.performed)
                      .arg(found.position)
            : found.assetId.isEmpty() ? QStringLiteral("stored rows")
                                      : QStringLiteral("a visit of %1 performed %2")
                                            .arg(HostVisitText::OneField(found.assetId), found.performed);
        lines << QStringLiteral("break: %1: %2").arg(where, found.what);
    }
    if (!typed.isEmpty()) {
        if (const auto& sealed = verification.sealed) {
            lines << QStringLiteral(
                         "the seal %1 is revision %2 of the visit of %3 performed %4, stored %5 by %6")
                         .arg(HostRevision::Short(sealed->revision.seal))
                         .arg(sealed->revision.number)
                         .arg(HostVisitText::OneField(sealed->record.assetId), sealed->record.performed,
                              sealed->revision.archived, sealed->revision.command);
        } else {
            lines << QStringLiteral(
                         "no revision stored in %1 carries the seal %2: the paper belongs to "
                         "another store, or this one lost that revision")
                         .arg(location, HostRevision::Short(typed));
        }
    }
    lines << (verification.breaks.isEmpty()
                  ? QStringLiteral("%1 is whole: %2 revisions of %3 visits, last seal %4")
                        .arg(location)
                        .arg(verification.revisions)
                        .arg(verification.visits)
                        .arg(HostRevision::Short(verification.last.seal))
                  : QStringLiteral("%1 is not whole: %2 breaks in %3 revisions")
                        .arg(location)
                        .arg(verification.breaks.size())
                        .arg(verification.revisions));
    return lines;
}

bool HostVerifyText::Whole(const HostResultsDatabase::Verification& verification, const QString& typed) {
    return verification.breaks.isEmpty() && (typed.isEmpty() || verification.sealed.has_value());
}

}  // namespace orvex
