#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/visit/HostSequence.h"
#include "hostapi/ComError.h"

namespace orvex {

class HostMessageService;
class HostVisitSaver;

// One run of a sequence, the same for the command line and the main window: the tests performed
// in the guide windows, the sequence saved as each test ends (so a crash keeps every finished
// result), and once more when the run ended otherwise, and what the run came to.
class ORVEX_HOST_EXPORT HostRun {
public:
    struct Options {
        // Judged only against these standards (alpha or complete names); none: against every one.
        QStringList standards;
        qsizetype first = 0;
        // Asked after each test whether the run is to stop there.
        std::function<bool()> interrupt;
        // Hears of every test as it starts and, after its save, as it ends.
        HostSequence::Progress progress;
    };
    struct Outcome {
        HostSequence::Outcome outcome = HostSequence::Outcome::Completed;
        // The error that ended the run, when one did.
        std::optional<ComError> error;
        // A failure of the instrument or a test was reported while the run went on.
        bool instrumentFailed = false;
        // Every test ran and none reported a failure of the instrument: the results judge the
        // equipment.
        bool Complete() const;
    };

    // The messages are watched for failures that the tests report without raising.
    static Outcome Perform(HostSequence& sequence, HostMessageService& messages, HostVisitSaver& saver,
                           const Options& options);
    // The first name that is the standard of no test: a typing error would judge against none.
    static std::optional<QString> UnknownStandard(const HostSequence& sequence, const QStringList& names);
};

}  // namespace orvex
