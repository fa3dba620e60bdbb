#include "HostMeasurementLimits.h"

#include "host/platform/HostLog.h"
#include "host/visit/HostResultText.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"

namespace orvex {

namespace {

std::optional<double> LimitAt(IMeasurement2& measurement, const std::shared_ptr<Standard>& standard,
                              int32_t position) {
    const Variant value = measurement.GetLimitValue(standard, position, IMeasurement2::kEvaluateCalculated);
    if (value.IsEmpty() || value.IsNull()) return std::nullopt;
    const auto number = HostResultText::Number(value);
    if (!number) {
        qCWarning(lcHost).noquote()
            << QStringLiteral("a limit of \"%1\" is no number and is left out").arg(standard->CompleteName());
    }
    return number;
}

}  // namespace

std::vector<HostMeasurementLimits::Limits> HostMeasurementLimits::Of(ITestElement& element,
                                                                     IMeasurement& measurement) {
    std::vector<Limits> found;
    auto* judged = dynamic_cast<IMeasurement2*>(&measurement);
    const auto limits = element.Limits();
    const auto standards = limits ? limits->Standards() : nullptr;
    if (!judged || !standards) return found;
    for (int32_t i = 1; i <= standards->Count(); ++i) {
        const auto standard = standards->Item(i);
        Limits entry{standard->AlphaName(), standard->CompleteName(),
                     LimitAt(*judged, standard, LimitEntry::kLow),
                     LimitAt(*judged, standard, LimitEntry::kHigh)};
        if (entry.low || entry.high) found.push_back(std::move(entry));
    }
    return found;
}

}  // namespace orvex
