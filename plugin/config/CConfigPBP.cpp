#include "CConfigPBP.h"

#include "driver/GDeclares.h"
#include "hostapi/ReportContext.h"
#include "hostapi/TestGuideSettings.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/config/MConfigUtils.h"
#include "plugin/config/MPresets.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::Variant;

namespace {

const QString kPreset = QStringLiteral("Preset");
const QString kType = QStringLiteral("Type");
const QString kInternalCuff = QStringLiteral("InternalCuff");
const QString kUnits = QStringLiteral("Units");
const QString kSystolic = QStringLiteral("Systolic");
const QString kDiastolic = QStringLiteral("Diastolic");
const QString kMap = QStringLiteral("Map");
const QString kHeartRate = QStringLiteral("HeartRate");
const QString kTestGuideSettings = QStringLiteral("TestGuideSettings");

// One bit per child the record must have.
constexpr int kFoundPreset = 1;
constexpr int kFoundSystolic = 2;
constexpr int kFoundDiastolic = 4;
constexpr int kFoundMap = 8;
constexpr int kFoundHeartRate = 16;
constexpr int kFoundTestGuideSettings = 32;
constexpr int kFoundAll = 63;

// The preset a test of the family starts with: the most common reading of the family.
uint8_t DefaultPreset(int32_t family) {
    switch (family) {
        case ebpStandard:
            return ebpStd120_80;
        case ebpNeonate:
            return ebpNeo80_50;
        case ebpWrist:
            return ebpWrist120_80;
        default:
            return 0;
    }
}

}  // namespace

CConfigPBP::CConfigPBP()
    : m_values{.selectedPreset = 0,
               .useInternalCuff = false,
               .unitOfMeasure = MUtils::ReadSetting(QStringLiteral("BPUnit")),
               .systolic = 0,
               .diastolic = 0,
               .map = 0,
               .heartRate = 0,
               .testGuide = MConfigUtils::NewTestGuideSettings()} {}

void CConfigPBP::SetTestType(int32_t family) {
    m_testType = family;
    SetSelectedPreset(DefaultPreset(family));
}

void CConfigPBP::SetSelectedPreset(uint8_t preset) {
    m_values.selectedPreset = preset;
    const MPresets::Preset* entry = MPresets::Find(m_testType, preset);
    m_values.systolic = entry ? entry->systolic : 0;
    m_values.diastolic = entry ? entry->diastolic : 0;
    m_values.map = entry ? entry->map : 0;
    m_values.heartRate = entry ? entry->heartRate : int16_t{0};
}

Variant CConfigPBP::ExpectedValue(const QString& key) const {
    const auto pressure = [this](float mmHg) {
        return Variant(MConversions::ConvertUnits(mmHg, epmuMMHG, m_values.unitOfMeasure));
    };
    if (key == QLatin1String("SYST")) return pressure(m_values.systolic);
    if (key == QLatin1String("DIAS")) return pressure(m_values.diastolic);
    if (key == QLatin1String("MAPR")) return pressure(m_values.map);
    if (key == QLatin1String("HART")) return Variant(m_values.heartRate);
    return {};
}

std::shared_ptr<orvex::IConfigData> CConfigPBP::Clone() {
    auto clone = std::make_shared<CConfigPBP>();
    clone->m_testType = m_testType;
    clone->m_values.useInternalCuff = m_values.useInternalCuff;
    clone->SetSelectedPreset(m_values.selectedPreset);
    clone->m_values.testGuide = m_values.testGuide->Clone();
    return clone;
}

std::shared_ptr<orvex::IDialog> CConfigPBP::CreateDialog() {
    return FDialogWrapper::CreateDialog(
        QStringLiteral("orvexKorotka.XConfigPBP"),
        Variant(std::static_pointer_cast<orvex::IConfigData>(shared_from_this())));
}

void CConfigPBP::Load(const std::shared_ptr<orvex::XmlElement>& element,
                      const std::shared_ptr<orvex::LoadLog>& log) {
    MConfigUtils::Load(element, log, QStringLiteral("20401::Loading blood pressure test configuration data"),
                       kSource, [&](const orvex::XmlElement& record) { return Read(record, log); });
}

bool CConfigPBP::Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log) {
    Values loaded = m_values;
    loaded.testGuide = MConfigUtils::NewTestGuideSettings();
    int found = 0;
    for (int32_t i = 0; i < record.ChildCount(); ++i) {
        const auto child = record.Child(i);
        const QString tag = child->TagName();
        if (tag == kPreset) {
            const QString type = child->GetAttribute(kType);
            if (!type.isEmpty()) loaded.selectedPreset = MConfigUtils::ReadByte(type);
            const QString internal = child->GetAttribute(kInternalCuff);
            if (!internal.isEmpty()) loaded.useInternalCuff = MConfigUtils::ReadBoolean(internal);
            const QString units = child->GetAttribute(kUnits);
            if (!units.isEmpty()) loaded.unitOfMeasure = MConfigUtils::ReadLong(units);
            found |= kFoundPreset;
        } else if (tag == kSystolic) {
            loaded.systolic = MConfigUtils::ReadSingle(child->Text());
            found |= kFoundSystolic;
        } else if (tag == kDiastolic) {
            loaded.diastolic = MConfigUtils::ReadSingle(child->Text());
            found |= kFoundDiastolic;
        } else if (tag == kMap) {
            loaded.map = MConfigUtils::ReadSingle(child->Text());
            found |= kFoundMap;
        } else if (tag == kHeartRate) {
            loaded.heartRate = MConfigUtils::ReadInteger(child->Text());
            found |= kFoundHeartRate;
        } else if (tag == kTestGuideSettings) {
            loaded.testGuide->Load(child, log);
            found |= kFoundTestGuideSettings;
        }
    }
    m_values = loaded;
    return found != kFoundAll;
}

std::shared_ptr<orvex::XmlElement> CConfigPBP::Save(const std::shared_ptr<orvex::XmlDocument>& document) {
    auto record = MConfigUtils::CreateRecord(document, kSource);
    const auto preset = document->CreateElement(kPreset);
    preset->SetAttribute(kType, MConfigUtils::ValueText(m_values.selectedPreset));
    preset->SetAttribute(kInternalCuff, MConfigUtils::ValueText(m_values.useInternalCuff));
    preset->SetAttribute(kUnits, MConfigUtils::ValueText(m_values.unitOfMeasure));
    record->AppendChild(preset);
    MConfigUtils::AppendValue(document, *record, kSystolic, m_values.systolic);
    MConfigUtils::AppendValue(document, *record, kDiastolic, m_values.diastolic);
    MConfigUtils::AppendValue(document, *record, kMap, m_values.map);
    MConfigUtils::AppendValue(document, *record, kHeartRate, m_values.heartRate);
    MConfigUtils::AppendSettings(document, *record, *m_values.testGuide);
    return record;
}

void CConfigPBP::PrintReport(const std::shared_ptr<orvex::ReportContext>& report) {
    if (!report) return;
    MConfigUtils::PrintReport(
        *report, MConfigUtils::ReportRow(*report, QStringLiteral("20356::Selected Preset"),
                                         MPresets::PresetDescription(m_testType, m_values.selectedPreset,
                                                                     m_values.unitOfMeasure)));
}

orvex::VariantArray CConfigPBP::GetTestParameters() const {
    return orvex::VariantArray::FromList({
        Variant(QString::number(TESTID_BP)),
        Variant(m_testType).ToString(),
        Variant(m_values.selectedPreset).ToString(),
        Variant(m_values.unitOfMeasure).ToString(),
        Variant(m_values.useInternalCuff).ToString(),
    });
}

}  // namespace korotka
