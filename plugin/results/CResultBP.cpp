#include "CResultBP.h"

#include "driver/GDeclares.h"
#include "hostapi/ReportContext.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

namespace {

const QString kHeartRateFormat = QStringLiteral("0");
const QString kMeanPressureFormat = QStringLiteral("0.0");

bool HasValue(const Variant& value) { return !value.IsNull() && !value.IsEmpty(); }

}  // namespace

CResultBP::CResultBP()
    : CResultBase(QStringLiteral("CResultBP"),
                  QStringLiteral("20680::Loading blood pressure test result data"), true) {}

void CResultBP::CreateMeasurements(const std::shared_ptr<CConfigPBP>& config) {
    const int32_t unit = config ? config->UnitOfMeasure() : static_cast<int32_t>(ebpuMMHG);
    const QString unitText = config ? MConversions::StoredUnitText(unit) : QString();
    const auto preset = [&](const QString& key) { return config ? config->ExpectedValue(key) : Variant(); };
    const QString format = MConversions::FormatForKey(MMeasureKey::kSyst, unit);
    AddMeasurement(MMeasureKey::kSyst, unitText, QStringLiteral("20350::Systolic"),
                   preset(MMeasureKey::kSyst), CMeasurement::kTypeDecimal, format);
    AddMeasurement(MMeasureKey::kDias, unitText, QStringLiteral("20351::Diastolic"),
                   preset(MMeasureKey::kDias), CMeasurement::kTypeDecimal, format);
    AddMeasurement(MMeasureKey::kHart, MConversions::StoredHeartRateUnit(),
                   QStringLiteral("20353::Heart Rate"), preset(MMeasureKey::kHart),
                   CMeasurement::kTypeDecimal, kHeartRateFormat);
    // Not every preset has a mean pressure.
    const Variant mean = preset(MMeasureKey::kMapr);
    if (HasValue(mean)) {
        AddMeasurement(MMeasureKey::kMapr, unitText, QStringLiteral("20352::MAP"), mean,
                       CMeasurement::kTypeDecimal, kMeanPressureFormat);
    }
}

void CResultBP::Clear(const std::shared_ptr<CConfigPBP>& config) {
    ClearRun();
    DropMeasurements();
    CreateMeasurements(config);
}

void CResultBP::AddFlag(const QString& flag) {
    for (const auto& measurement : AllMeasurements()) measurement->AddFlag(flag);
}

void CResultBP::Evaluate(const std::shared_ptr<orvex::ILimitData>& limits,
                         const std::shared_ptr<orvex::StandardList>& standards, bool aborted) {
    CResultBase::Evaluate(limits, standards, aborted);
    if (aborted) DropMeasurements();
}

QString CResultBP::ReportHeader(orvex::ReportContext& report) const {
    return QLatin1Char('|') + Title(report, QStringLiteral("312::Result:")) + QLatin1Char('|') +
           Title(report, QStringLiteral("20650::Preset value")) + QLatin1Char('|') +
           Title(report, QStringLiteral("235::Recorded value")) + QLatin1Char('|') +
           Title(report, QStringLiteral("234::Unit")) + QLatin1Char(';');
}

}  // namespace korotka
