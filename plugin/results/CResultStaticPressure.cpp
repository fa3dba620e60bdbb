#include "CResultStaticPressure.h"

#include <exception>

#include "hostapi/ComError.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

CResultStaticPressure::CResultStaticPressure()
    : CResultBase(QStringLiteral("CResultStaticPressure"),
                  QStringLiteral("20671::Loading static pressure test result data"), false) {}

void CResultStaticPressure::CreateMeasurements(const QString& unitText) {
    const QString format =
        MConversions::FormatForKey(MMeasureKey::kStat, MConversions::UnitFromText(unitText));
    AddMissingMeasurement(MMeasureKey::kStat, unitText, QStringLiteral("20370::Pressure"),
                          CMeasurement::kTypeDecimal, format);
    AddMissingMeasurement(MMeasureKey::kMano, unitText, QStringLiteral("20374::Korotka Pressure"),
                          CMeasurement::kTypeDecimal, format);
    AddMissingMeasurement(MMeasureKey::kDiff, unitText, QStringLiteral("20375::Difference"),
                          CMeasurement::kTypeDecimal, format);
}

void CResultStaticPressure::SetManometer(float reading) {
    if (const auto manometer = MeasurementByKey(MMeasureKey::kMano)) manometer->SetValue(reading);
    const auto difference = MeasurementByKey(MMeasureKey::kDiff);
    if (!difference) return;
    float typed = 0.0F;
    if (const auto stat = MeasurementByKey(MMeasureKey::kStat)) {
        const Variant value = stat->GetValue();
        try {
            if (!value.IsNull() && !value.IsEmpty()) typed = value.ToSingle();
        } catch (const orvex::ComError& error) {
            qCWarning(lcPlugIn, "a typed reading that is no number leaves the difference as it was: %s",
                      error.what());
            // A typed text that is no number leaves the difference as it was.
            return;
        }
    }
    difference->SetValue(MConversions::Difference(typed, reading));
}

}  // namespace korotka
