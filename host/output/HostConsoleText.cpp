#include "HostConsoleText.h"

#include "hostapi/ComError.h"

namespace orvex {

QString HostConsoleText::Error(const ComError& e) {
    const auto number = static_cast<uint32_t>(e.Number());
    const QString code = number < 0x10000 ? QString::number(number)
                                          : QStringLiteral("0x%1").arg(number, 8, 16, QLatin1Char('0'));
    return QStringLiteral("orvex: error %1 in %2: %3").arg(code, e.Source(), e.Description());
}

QStringList HostConsoleText::Notice(const HostRunEnd::Notice& notice) {
    using Kind = HostRunEnd::Notice::Kind;
    switch (notice.kind) {
        case Kind::RunError:
            return {Error(*notice.error)};
        case Kind::NotSaved:
            return {QStringLiteral("orvex: the sequence could not be saved: %1").arg(notice.text),
                    notice.file.isEmpty()
                        ? QStringLiteral("orvex: the results of the run could not be kept anywhere")
                        : QStringLiteral("orvex: the results of the run are kept in %1").arg(notice.file)};
        case Kind::NotArchived:
            return {notice.file.isEmpty()
                        ? QStringLiteral("orvex: warning: the visit was not archived: %1").arg(notice.text)
                        : QStringLiteral("orvex: warning: the visit was not archived: %1; orvex archive %2 "
                                         "stores it later")
                              .arg(notice.text, notice.file)};
        case Kind::ScriptNotFollowed:
            return {notice.text};
        case Kind::Aborted:
            return {QStringLiteral("orvex: the run was aborted")};
        case Kind::NotJudged:
            return {
                QStringLiteral("orvex: test %1 (%2) is not judged: no limit applies to its readings; give it "
                               "a limit set in the limit editor")
                    .arg(notice.position)
                    .arg(notice.text)};
    }
    return {};
}

QString HostConsoleText::Stored(HostResultsDatabase::Stored stored, const QString& assetId,
                                const QString& location) {
    using Kind = HostResultsDatabase::Stored;
    switch (stored) {
        case Kind::New:
            return QStringLiteral("the visit of %1 is stored in %2").arg(assetId, location);
        case Kind::Revised:
            return QStringLiteral(
                       "the visit of %1 is stored in %2 as a new revision of it (orvex history %1 "
                       "--revisions shows what changed)")
                .arg(assetId, location);
        case Kind::AlreadyThere:
            break;
    }
    return QStringLiteral("the visit of %1 was stored in %2 before; nothing changed").arg(assetId, location);
}

}  // namespace orvex
