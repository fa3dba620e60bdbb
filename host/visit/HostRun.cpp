#include "HostRun.h"

#include <memory>

#include "host/platform/HostMessageService.h"
#include "host/records/HostPerformContext.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ILimitData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"

namespace orvex {

bool HostRun::Outcome::Complete() const {
    return outcome == HostSequence::Outcome::Completed && !error && !instrumentFailed;
}

HostRun::Outcome HostRun::Perform(HostSequence& sequence, HostMessageService& messages, HostVisitSaver& saver,
                                  const Options& options) {
    const auto context = std::make_shared<HostPerformContext>();
    context->SetStandardSelection(options.standards);
    const qsizetype failuresBefore = messages.FailuresTold();
    Outcome outcome;
    // Each test's end is saved; the sequence changes only in a test, so a run that ended after one
    // is saved as it stands.
    bool saved = false;
    try {
        outcome.outcome = sequence.Perform(
            context, options.interrupt, options.first, [&](qsizetype position, HostSequence::Step step) {
                saved = step != HostSequence::Step::Starting && saver.Save(sequence);
                if (options.progress) options.progress(position, step);
            });
    } catch (const ComError& e) {
        outcome.error = e;
    }
    // Whatever became of the run (a test that raised, a save that failed), the results it stored
    // are kept.
    if (!saved) saver.Save(sequence);
    outcome.instrumentFailed = messages.FailuresTold() != failuresBefore;
    return outcome;
}

std::optional<QString> HostRun::UnknownStandard(const HostSequence& sequence, const QStringList& names) {
    for (const QString& name : names) {
        bool found = false;
        for (const auto& element : sequence.Tests()) {
            const auto limits = element->Limits();
            const auto standards = limits ? limits->Standards() : nullptr;
            for (int32_t i = 1; standards && i <= standards->Count() && !found; ++i) {
                const auto standard = standards->Item(i);
                found = standard->AlphaName() == name || standard->CompleteName() == name;
            }
        }
        if (!found) return name;
    }
    return std::nullopt;
}

}  // namespace orvex
