#include "HostVerdict.h"

#include "host/visit/HostMeasurementLimits.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostSpread.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"

namespace orvex {

namespace {

bool HasReading(IMeasurement& measurement) {
    const Variant value = measurement.Value();
    return !value.IsEmpty() && !value.IsNull();
}

// Whether a limit of the test applied to at least one of its readings.
bool Judged(ITestElement& element) {
    const auto result = element.Result();
    const int32_t count = result ? result->MeasurementCount() : 0;
    for (int32_t m = 1; m <= count; ++m) {
        const auto measurement = result->Measurement(Variant(m));
        if (measurement && HasReading(*measurement) &&
            !HostMeasurementLimits::Of(element, *measurement).empty())
            return true;
    }
    return false;
}

}  // namespace

HostVerdict::Overall HostVerdict::Of(const HostSequence& sequence) {
    bool complete = !sequence.Tests().isEmpty();
    for (const auto& element : sequence.Tests()) {
        const QString word = TestWord(*element);
        if (word == HostResultText::StatusWord(IResultData::kFailed)) return Overall::Failed;
        if (word != HostResultText::StatusWord(IResultData::kPassed) &&
            word != HostResultText::StatusWord(IResultData::kNotApplicable))
            complete = false;
    }
    const HostSpread::Standing spread = HostSpread::Of(sequence);
    if (spread == HostSpread::Standing::Failed) return Overall::Failed;
    return complete && spread == HostSpread::Standing::Passed ? Overall::Passed : Overall::Incomplete;
}

QString HostVerdict::TestWord(ITestElement& element) {
    const auto result = element.Result();
    const int32_t status = result ? result->Status() : IResultData::kNotEvaluated;
    if (status == IResultData::kPassed && !Judged(element)) return kNotJudged;
    return HostResultText::StatusWord(status);
}

QString HostVerdict::ReadingWord(ITestElement& element, IMeasurement& measurement) {
    const int32_t status = measurement.Status();
    if (status == IResultData::kPassed && HasReading(measurement) &&
        HostMeasurementLimits::Of(element, measurement).empty())
        return kNotJudged;
    return HostResultText::StatusWord(status);
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
