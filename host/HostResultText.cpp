#include "HostResultText.h"

#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/ValueFormatter.h"

namespace orvex {

QString HostResultText::StatusWord(int32_t status) {
    switch (status) {
        case kPassed:
            return QStringLiteral("passed");
        case kFailed:
            return QStringLiteral("failed");
        case kNotApplicable:
            return QStringLiteral("not-applicable");
        default:
            return QStringLiteral("not-measured");
    }
}

QString HostResultText::Value(IMeasurement& measurement) {
    const Variant value = measurement.Value();
    if (value.IsEmpty() || value.IsNull()) return {};
    return HostServices::Values()->Format(value, measurement.ValueFormat());
}

}  // namespace orvex
