#include "HostVerdict.h"

#include "host/visit/HostSequence.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"

namespace orvex {

HostVerdict::Overall HostVerdict::Of(const HostSequence& sequence) {
    bool complete = !sequence.Tests().isEmpty();
    for (const auto& element : sequence.Tests()) {
        const auto result = element->Result();
        const int32_t status = result ? result->Status() : IResultData::kNotEvaluated;
        if (status == IResultData::kFailed) return Overall::Failed;
        if (status != IResultData::kPassed && status != IResultData::kNotApplicable) complete = false;
    }
    return complete ? Overall::Passed : Overall::Incomplete;
}

QString HostVerdict::Word(Overall overall) {
    switch (overall) {
        case Overall::Passed:
            return QStringLiteral("PASSED");
        case Overall::Failed:
            return QStringLiteral("FAILED");
        case Overall::Incomplete:
            break;
    }
    return QStringLiteral("INCOMPLETE");
}

}  // namespace orvex
