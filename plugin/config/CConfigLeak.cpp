#include "CConfigLeak.h"

#include <array>
#include <cmath>

#include "driver/GDeclares.h"
#include "hostapi/HostServices.h"
#include "hostapi/ReportContext.h"
#include "hostapi/TestGuideSettings.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/config/MConfigUtils.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::Variant;

namespace {

const QString kFlags = QStringLiteral("Flags");
const QString kCustomDuration = QStringLiteral("CustomDuration");
const QString kInternalCuff = QStringLiteral("InternalCuff");
const QString kStartPressure = QStringLiteral("StartPressure");
// The start pressure's unit, an attribute so that readers that know nothing of it still read the
// record; without it the pressure is in the default unit, as records were written before.
const QString kUnit = QStringLiteral("Unit");
const QString kTestedEquipment = QStringLiteral("TestedEquipment");
const QString kDuration = QStringLiteral("Duration");
const QString kTestGuideSettings = QStringLiteral("TestGuideSettings");

const QString kStartPressureLiteral = QStringLiteral("20453::Start Pressure Target");
const QString kTestedEquipmentLiteral = QStringLiteral("20454::Tested Equipment");
const QString kDurationLiteral = QStringLiteral("20455::Duration");
const QString kContinuousLiteral = QStringLiteral("20456::(continuous)");
const QString kInternalCuffLiteral = QStringLiteral("20458::(internal cuff)");
const std::array<QString, 3> kEquipmentLiterals = {QStringLiteral("20450::Cuff"),
                                                   QStringLiteral("20451::Monitor"),
                                                   QStringLiteral("20452::Cuff and Monitor")};

constexpr int32_t kDefaultDuration = 60;
constexpr float kDefaultStartMmHg = 150;
constexpr int32_t kSecondsPerMinute = 60;

// One bit per child the record must have.
constexpr int kFoundFlags = 1;
constexpr int kFoundStartPressure = 2;
constexpr int kFoundTestedEquipment = 4;
constexpr int kFoundDuration = 8;
constexpr int kFoundTestGuideSettings = 16;
constexpr int kFoundAll = 31;

QString TwoDigits(int32_t number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); }

}  // namespace

CConfigLeak::CConfigLeak()
    : m_values{.duration = 0,
               .testedEquipment = 0,
               .startPressure = 0,
               .pressureUnit = 0,
               .useCustomDuration = false,
               .useInternalCuff = false,
               .testGuide = MConfigUtils::NewTestGuideSettings()} {
    ResetValues(m_values);
}

void CConfigLeak::ResetValues(Values& values) {
    values.duration = kDefaultDuration;
    values.testedEquipment = kCuff;
    values.pressureUnit = MUtils::ReadSetting(QStringLiteral("PressureUnit"));
    values.startPressure = MConversions::ConvertUnits(kDefaultStartMmHg, epmuMMHG, values.pressureUnit);
}

void CConfigLeak::Reset() { ResetValues(m_values); }

void CConfigLeak::CopyFrom(const CConfigLeak& source) {
    m_values = source.m_values;
    m_values.testGuide = source.m_values.testGuide->Clone();
}

std::shared_ptr<orvex::IConfigData> CConfigLeak::Clone() {
    auto clone = std::make_shared<CConfigLeak>();
    clone->CopyFrom(*this);
    return clone;
}

std::shared_ptr<orvex::IDialog> CConfigLeak::CreateDialog() {
    return FDialogWrapper::CreateDialog(
        QStringLiteral("orvexKorotka.XConfigPressure"),
        Variant(std::static_pointer_cast<orvex::IConfigData>(shared_from_this())));
}

void CConfigLeak::Load(const std::shared_ptr<orvex::XmlElement>& element,
                       const std::shared_ptr<orvex::LoadLog>& log) {
    MConfigUtils::Load(element, log, QStringLiteral("20457::Loading leak test configuration data"), kSource,
                       [&](const orvex::XmlElement& record) { return Read(record, log); });
}

bool CConfigLeak::Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log) {
    Values loaded = m_values;
    ResetValues(loaded);
    // Loaded into a copy, so that a failing record leaves the settings as they were.
    loaded.testGuide = MConfigUtils::NewTestGuideSettings();
    int found = 0;
    for (int32_t i = 0; i < record.ChildCount(); ++i) {
        const auto child = record.Child(i);
        const QString tag = child->TagName();
        if (tag == kFlags) {
            const QString custom = child->GetAttribute(kCustomDuration);
            if (!custom.isEmpty()) loaded.useCustomDuration = MConfigUtils::ReadBoolean(custom);
            const QString internal = child->GetAttribute(kInternalCuff);
            if (!internal.isEmpty()) loaded.useInternalCuff = MConfigUtils::ReadBoolean(internal);
            found |= kFoundFlags;
        } else if (tag == kStartPressure) {
            loaded.startPressure = MConfigUtils::ReadSingle(child->Text());
            // A unit that is none of the five reads as no unit: the record reads by the old rule.
            const QString unitText = child->GetAttribute(kUnit);
            const double unit = Variant::Val(unitText);
            if (!unitText.isEmpty() && unit >= 0 && unit < MConversions::kUnitCount &&
                unit == std::floor(unit))
                loaded.pressureUnit = static_cast<int32_t>(unit);
            found |= kFoundStartPressure;
        } else if (tag == kTestedEquipment) {
            loaded.testedEquipment = MConfigUtils::ReadLong(child->Text());
            found |= kFoundTestedEquipment;
        } else if (tag == kDuration) {
            loaded.duration = MConfigUtils::ReadLong(child->Text());
            found |= kFoundDuration;
        } else if (tag == kTestGuideSettings) {
            loaded.testGuide->Load(child, log);
            found |= kFoundTestGuideSettings;
        }
    }
    m_values = loaded;
    return found != kFoundAll;
}

std::shared_ptr<orvex::XmlElement> CConfigLeak::Save(const std::shared_ptr<orvex::XmlDocument>& document) {
    auto record = MConfigUtils::CreateRecord(document, kSource);
    const auto flags = document->CreateElement(kFlags);
    flags->SetAttribute(kCustomDuration, MConfigUtils::ValueText(m_values.useCustomDuration));
    flags->SetAttribute(kInternalCuff, MConfigUtils::ValueText(m_values.useInternalCuff));
    record->AppendChild(flags);
    MConfigUtils::AppendValue(document, *record, kStartPressure, m_values.startPressure);
    record->Child(record->ChildCount() - 1)
        ->SetAttribute(kUnit, MConfigUtils::ValueText(m_values.pressureUnit));
    MConfigUtils::AppendValue(document, *record, kTestedEquipment, m_values.testedEquipment);
    MConfigUtils::AppendValue(document, *record, kDuration, m_values.duration);
    MConfigUtils::AppendSettings(document, *record, *m_values.testGuide);
    return record;
}

void CConfigLeak::PrintReport(const std::shared_ptr<orvex::ReportContext>& report) {
    if (!report) return;
    const Translator translate = [&report](const QString& literal) {
        return report->GetText(MLanguage::kPlugInId, literal);
    };
    const QString pressure =
        orvex::HostServices::Values()->FormatShown(
            m_values.startPressure, MConversions::FormatForKey(QStringLiteral("RATE"), m_values.pressureUnit),
            QLocale()) +
        QLatin1Char(' ') + MConversions::UnitText(m_values.pressureUnit);
    QString equipment = TestedEquipmentText(translate);
    if (m_values.useInternalCuff) equipment += QStringLiteral("  ") + translate(kInternalCuffLiteral);
    MConfigUtils::PrintReport(
        *report, MConfigUtils::ReportRow(*report, kStartPressureLiteral, pressure) +
                     MConfigUtils::ReportRow(*report, kDurationLiteral, DurationText(translate)) +
                     MConfigUtils::ReportRow(*report, kTestedEquipmentLiteral, equipment));
}

QString CConfigLeak::TestedEquipmentText() const { return TestedEquipmentText(&MLanguage::Translate); }

QString CConfigLeak::TestedEquipmentText(const Translator& translate) const {
    if (m_values.testedEquipment < kCuff || m_values.testedEquipment > kCuffAndMonitor) return {};
    return translate(kEquipmentLiterals[static_cast<size_t>(m_values.testedEquipment)]);
}

QString CConfigLeak::DurationText() const { return DurationText(&MLanguage::Translate); }

QString CConfigLeak::DurationText(const Translator& translate) const {
    if (m_values.duration < 1) return translate(kContinuousLiteral);
    return TwoDigits(m_values.duration / kSecondsPerMinute) + QLatin1Char(':') +
           TwoDigits(m_values.duration % kSecondsPerMinute);
}

orvex::VariantArray CConfigLeak::GetDescription() const {
    orvex::VariantArray description(0, 2, 0, 1);
    description.At(0, 0) = MLanguage::Translate(kStartPressureLiteral);
    description.At(0, 1) = QString(MLocale::PlainText(m_values.startPressure) + QLatin1Char(' ') +
                                   MConversions::UnitText(m_values.pressureUnit));
    description.At(1, 0) = MLanguage::Translate(kTestedEquipmentLiteral);
    description.At(1, 1) = TestedEquipmentText();
    description.At(2, 0) = MLanguage::Translate(kDurationLiteral);
    description.At(2, 1) = DurationText();
    return description;
}

orvex::VariantArray CConfigLeak::GetTestParameters() const {
    return orvex::VariantArray::FromList({
        Variant(QString::number(TESTID_PRESS_LEAK)),
        MConfigUtils::WholeMmHgText(m_values.startPressure, m_values.pressureUnit),
        m_values.pressureUnit,
        Variant(m_values.duration).ToString(),
        m_values.useCustomDuration,
        Variant(m_values.testedEquipment).ToString(),
        m_values.useInternalCuff,
    });
}

}  // namespace korotka
