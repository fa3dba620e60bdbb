#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/visit/HostRun.h"
#include "hostapi/ComError.h"

namespace orvex {

class HostSequence;
class HostVisitSaver;

// What a run of a visit ends in, decided once for the command line and the main window: where its
// results are, whether the visit is archived and from which file, what the technician is told and
// in which order, and the exit class. The two only word and show it.
class ORVEX_HOST_EXPORT HostRunEnd {
public:
    // The classes a run ends in; the command line's exit statuses.
    enum class Exit { Passed = 0, Failed = 1, NotSaved = 2, Incomplete = 3 };

    struct Notice {
        enum class Kind {
            // error: what ended the run.
            RunError,
            // text: why the sequence did not reach its file; file: where its results are kept, empty
            // when nowhere.
            NotSaved,
            // text: why the visit was not archived; file: what `orvex archive` can take it from
            // later, empty when it is in no file.
            NotArchived,
            // text: where the scripted technician found the run not as its script said.
            ScriptNotFollowed,
            Aborted,
            // position (from 1) and text (the test's name) of a test no limit judged.
            NotJudged,
        };
        Kind kind;
        QString text;
        QString file;
        int position = 0;
        std::optional<ComError> error;
    };
    struct Options {
        // The results database the visit goes into; none: it is not archived.
        std::optional<QString> database;
        // What stores the visit: "run" or "open".
        QString command;
        // Why the scripted technician gave up, when it did.
        std::optional<QString> scriptFailure;
    };

    // Decides what the run ends in and archives the visit as it is in memory (what its file now
    // holds), from the file its results are in.
    static HostRunEnd Close(const HostSequence& sequence, const HostRun::Outcome& outcome,
                            const HostVisitSaver& saver, const Options& options);

    Exit exit = Exit::Passed;
    QList<Notice> notices;
    // The visit went into the database.
    bool archived = false;
};

}  // namespace orvex
