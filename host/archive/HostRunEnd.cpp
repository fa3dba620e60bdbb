#include "HostRunEnd.h"

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

namespace {

using Kind = HostRunEnd::Notice::Kind;

// The visit into the database from the file its results are in; a database that cannot take it is
// told, and the run stands.
void Archive(HostRunEnd& end, const HostSequence& sequence, const QString& file,
             const HostRunEnd::Options& options) {
    const HostVisitRecord visit = HostVisitRecord::FromSequence(sequence);
    // No asset, or nothing performed: nothing of the equipment to keep.
    if (!options.database || visit.assetId.isEmpty() || visit.performed.isEmpty()) return;
    if (file.isEmpty()) {
        end.notices.append({Kind::NotArchived, QStringLiteral("it is in no file"), {}, 0, std::nullopt});
        return;
    }
    try {
        HostResultsDatabase(*options.database).Store(visit, file, options.command);
        end.archived = true;
    } catch (const ComError& error) {
        end.notices.append({Kind::NotArchived, error.Description(), file, 0, std::nullopt});
    }
}

}  // namespace

HostRunEnd HostRunEnd::Close(const HostSequence& sequence, const HostRun::Outcome& outcome,
                             const HostVisitSaver& saver, const Options& options) {
    HostRunEnd end;
    if (outcome.error) end.notices.append({Kind::RunError, {}, {}, 0, outcome.error});
    // The visit happened: the database takes it from where its results are. An untitled sequence's
    // are in its recovery file until it is saved, and that is no failure.
    const QString file = saver.InFile() ? saver.File() : saver.Kept();
    if (!saver.InFile() && !saver.File().isEmpty()) {
        end.notices.append({Kind::NotSaved, saver.Failure(), saver.Kept(), 0, std::nullopt});
        Archive(end, sequence, file, options);
        end.exit = Exit::NotSaved;
        return end;
    }
    Archive(end, sequence, file, options);
    if (options.scriptFailure) {
        end.notices.append({Kind::ScriptNotFollowed, *options.scriptFailure, {}, 0, std::nullopt});
        end.exit = Exit::Incomplete;
        return end;
    }
    if (!outcome.Complete()) {
        if (outcome.outcome == HostSequence::Outcome::Aborted)
            end.notices.append({Kind::Aborted, {}, {}, 0, std::nullopt});
        end.exit = Exit::Incomplete;
        return end;
    }
    const auto verdict = HostVerdict::Of(sequence);
    if (verdict == HostVerdict::Overall::Failed) {
        end.exit = Exit::Failed;
        return end;
    }
    if (verdict == HostVerdict::Overall::Passed) return end;
    end.exit = Exit::Incomplete;
    for (qsizetype i = 0; i < sequence.Tests().size(); ++i) {
        const auto& element = sequence.Tests()[i];
        if (HostVerdict::TestWord(*element) != HostVerdict::kNotJudged) continue;
        end.notices.append({Kind::NotJudged,
                            element->Info() ? element->Info()->Name() : QString(),
                            {},
                            static_cast<int>(i + 1),
                            std::nullopt});
    }
    return end;
}

}  // namespace orvex
