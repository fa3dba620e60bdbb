#include "CResultLeak.h"

#include <exception>

#include "hostapi/ComError.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

namespace {

constexpr int32_t kRateElement = 1;

}  // namespace

CResultLeak::CResultLeak()
    : CResultBase(QStringLiteral("CResultLeak"), QStringLiteral("20670::Loading leak test result data"),
                  true) {}

void CResultLeak::CreateMeasurements(const QString& unitText) {
    AddMissingMeasurement(
        MMeasureKey::kRate, unitText, QStringLiteral("20372::Leak Rate"), CMeasurement::kTypeDecimal,
        MConversions::FormatForKey(MMeasureKey::kRate, MConversions::UnitFromText(unitText)));
}

void CResultLeak::SetResult(const orvex::VariantArray& result) {
    const auto rate = MeasurementByKey(MMeasureKey::kRate);
    const Variant* value = ResultElement(result, kRateElement);
    if (!rate || !value) return;
    try {
        rate->SetValue(value->ToSingle());
    } catch (const orvex::ComError& error) {
        qCWarning(lcPlugIn, "a leak rate reply that is no number is not taken: %s", error.what());
        // A reply that is no number leaves the rate as it was.
    }
}

}  // namespace korotka
