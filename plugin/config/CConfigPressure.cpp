#include "CConfigPressure.h"

#include <optional>

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
const QString kNoPump = QStringLiteral("NoPump");
const QString kInflatePressure = QStringLiteral("InflatePressure");
const QString kPressureUnits = QStringLiteral("PressureUnits");
const QString kTestGuideSettings = QStringLiteral("TestGuideSettings");
const QString kInflatePressureLiteral = QStringLiteral("20500::Inflate Pressure");

constexpr float kDefaultInflateMmHg = 250;

}  // namespace

CConfigPressure::CConfigPressure() : m_values(Defaults()) {}

CConfigPressure::CConfigPressure(CopyOf copy) : m_values{} { CopyFrom(copy.source); }

CConfigPressure::Values CConfigPressure::Defaults() {
    const int32_t unit = MUtils::ReadSetting(QStringLiteral("PressureUnit"));
    return {MConversions::ConvertUnits(kDefaultInflateMmHg, epmuMMHG, unit), false, unit,
            MConfigUtils::NewTestGuideSettings()};
}

void CConfigPressure::Reset() { m_values = Defaults(); }

void CConfigPressure::CopyFrom(const CConfigPressure& source) {
    m_values = source.m_values;
    m_values.testGuide = source.m_values.testGuide->Clone();
    m_showNoPumpCheckbox = source.m_showNoPumpCheckbox;
}

std::shared_ptr<orvex::IConfigData> CConfigPressure::Clone() {
    // Not make_shared: the copying constructor is private.
    return std::shared_ptr<CConfigPressure>(new CConfigPressure(CopyOf{*this}));
}

std::shared_ptr<orvex::IDialog> CConfigPressure::CreateDialog() {
    return FDialogWrapper::CreateDialog(
        QStringLiteral("orvexKorotka.XConfigPressure"),
        Variant(std::static_pointer_cast<orvex::IConfigData>(shared_from_this())));
}

void CConfigPressure::Load(const std::shared_ptr<orvex::XmlElement>& element,
                           const std::shared_ptr<orvex::LoadLog>& log) {
    MConfigUtils::Load(element, log, QStringLiteral("20501::Loading over-pressure test configuration data"),
                       kSource, [&](const orvex::XmlElement& record) { return Read(record, log); });
}

bool CConfigPressure::Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log) {
    std::optional<bool> noPump;
    std::optional<float> inflatePressure;
    std::optional<int32_t> pressureUnit;
    if (const auto flags = record.FindChild(kFlags)) {
        const QString text = flags->GetAttribute(kNoPump);
        if (!text.isEmpty()) noPump = MConfigUtils::ReadBoolean(text);
    }
    if (const auto pressure = record.FindChild(kInflatePressure)) {
        if (!pressure->Text().isEmpty()) inflatePressure = MConfigUtils::ReadSingle(pressure->Text());
    }
    if (const auto unit = record.FindChild(kPressureUnits)) {
        if (!unit->Text().isEmpty()) pressureUnit = MConfigUtils::ReadLong(unit->Text());
    }
    // The registry's defaults are read only for a record that lacks a value depending on them.
    Values loaded = inflatePressure && pressureUnit
                        ? Values{*inflatePressure, false, *pressureUnit, MConfigUtils::NewTestGuideSettings()}
                        : Defaults();
    loaded.noPump = noPump.value_or(loaded.noPump);
    loaded.inflatePressure = inflatePressure.value_or(loaded.inflatePressure);
    loaded.pressureUnit = pressureUnit.value_or(loaded.pressureUnit);
    bool found = noPump || inflatePressure || pressureUnit;
    if (const auto settings = record.FindChild(kTestGuideSettings)) {
        loaded.testGuide->Load(settings, log);
        found = true;
    }
    m_values = loaded;
    return !found;
}

std::shared_ptr<orvex::XmlElement> CConfigPressure::Save(
    const std::shared_ptr<orvex::XmlDocument>& document) {
    auto record = MConfigUtils::CreateRecord(document, kSource);
    const auto flags = document->CreateElement(kFlags);
    flags->SetAttribute(kNoPump, MConfigUtils::ValueText(m_values.noPump));
    record->AppendChild(flags);
    MConfigUtils::AppendValue(document, *record, kInflatePressure, m_values.inflatePressure);
    MConfigUtils::AppendValue(document, *record, kPressureUnits, m_values.pressureUnit);
    MConfigUtils::AppendSettings(document, *record, *m_values.testGuide);
    return record;
}

void CConfigPressure::PrintReport(const std::shared_ptr<orvex::ReportContext>& report) {
    if (!report) return;
    QString value =
        orvex::HostServices::Values()->FormatShown(
            m_values.inflatePressure,
            MConversions::FormatForKey(QStringLiteral("STAT"), m_values.pressureUnit), QLocale()) +
        QLatin1Char(' ') + MConversions::UnitText(m_values.pressureUnit);
    if (m_values.noPump) {
        value += QStringLiteral("  (") +
                 report->GetText(MLanguage::kPlugInId, QStringLiteral("20821::external")) + QLatin1Char(')');
    }
    MConfigUtils::PrintReport(*report, MConfigUtils::ReportRow(*report, kInflatePressureLiteral, value));
}

orvex::VariantArray CConfigPressure::GetDescription() const {
    orvex::VariantArray description(0, 0, 0, 1);
    description.At(0, 0) = MLanguage::Translate(kInflatePressureLiteral);
    description.At(0, 1) = QString(MLocale::PlainText(m_values.inflatePressure) + QLatin1Char(' ') +
                                   MConversions::UnitText(m_values.pressureUnit));
    return description;
}

orvex::VariantArray CConfigPressure::GetTestParameters() const {
    return orvex::VariantArray::FromList({
        Variant(QString::number(TESTID_PRESS_RELIEF)),
        MConfigUtils::WholeMmHgText(m_values.inflatePressure, m_values.pressureUnit),
        Variant(m_values.pressureUnit).ToString(),
        false,
        m_values.inflatePressure,
        m_values.noPump,
    });
}

}  // namespace korotka
