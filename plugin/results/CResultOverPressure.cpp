#include "CResultOverPressure.h"

#include <exception>

#include "hostapi/ComError.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

namespace {

constexpr int32_t kPeakElement = 1;
constexpr int32_t kReleasedElement = 3;

}  // namespace

CResultOverPressure::CResultOverPressure()
    : CResultBase(QStringLiteral("CResultOverPressure"),
                  QStringLiteral("20672::Loading over-pressure test result data"), true) {}

void CResultOverPressure::CreateMeasurements(const QString& unitText) {
    AddMissingMeasurement(
        MMeasureKey::kPeak, unitText, QStringLiteral("20373::Monitor Release Pressure"),
        CMeasurement::kTypeDecimal,
        MConversions::FormatForKey(MMeasureKey::kPeak, MConversions::UnitFromText(unitText)));
    AddMissingMeasurement(MMeasureKey::kMrel, QString(), QStringLiteral("20760::Monitor Release"),
                          CMeasurement::kTypeYesNo, QString());
}

void CResultOverPressure::SetResult(const orvex::VariantArray& result) {
    if (const auto peak = MeasurementByKey(MMeasureKey::kPeak)) {
        if (const Variant* value = ResultElement(result, kPeakElement)) peak->SetValue(*value);
    }
    if (const auto released = MeasurementByKey(MMeasureKey::kMrel)) {
        if (const Variant* value = ResultElement(result, kReleasedElement)) released->SetValue(*value);
    }
}

bool CResultOverPressure::FailsRun(CMeasurement& measurement) const {
    if (measurement.ValueType() != CMeasurement::kTypeYesNo) return false;
    try {
        return measurement.GetValue().Equals(Variant(false));
    } catch (const orvex::ComError& error) {
        qCDebug(lcPlugIn, "a release reading that is no yes or no does not fail the run: %s", error.what());
        return false;
    }
}

}  // namespace korotka
