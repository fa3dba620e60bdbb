#include "MConfigUtils.h"

#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/LoadLog.h"
#include "hostapi/ReportContext.h"
#include "hostapi/TestGuideSettings.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/CLoadLogGroup.h"
#include "plugin/base/MLanguage.h"
#include "plugin/units/MConversions.h"

namespace korotka {

using orvex::HostServices;
using orvex::Variant;

namespace {

// Message kinds the host shows the two errors with.
constexpr int32_t kLoadErrorKind = 4;
constexpr int32_t kSaveErrorKind = 3;

const QString kPlugInAttribute = QStringLiteral("PlugIn");
const QString kTestGuideSettingsClass = QStringLiteral("OrvexTypeLib.TestGuideSettings");

// The fixed columns of the table: an indent, the labels and a right margin; four value columns
// share the rest of the width.
constexpr int64_t kIndentWidth = 560;
constexpr int64_t kLabelWidth = 2240;
constexpr int64_t kValueColumns = 4;

// Layout values every configuration table is printed with.
constexpr int32_t kFontSize = 10;

}  // namespace

void MConfigUtils::Load(const std::shared_ptr<orvex::XmlElement>& element,
                        const std::shared_ptr<orvex::LoadLog>& log, const QString& caption,
                        const QString& source, const std::function<bool(const orvex::XmlElement&)>& read) {
    try {
        const CLoadLogGroup group(log, caption);
        if (!element || element->TagName() != kRecordTag) {
            HostServices::Errors()->Raise(MLanguage::kPlugInId, kErrLoad, source, kLoadErrorKind);
        }
        if (read(*element) && log) log->AddEntry(kErrLoad, orvex::LoadLog::kSeverityWarning, kMissingLiteral);
    } catch (const orvex::ComError& error) {
        HostServices::Errors()->ReportError(error, source);
    }
}

float MConfigUtils::ReadSingle(const QString& text) { return Variant(Variant::Val(text)).ToSingle(); }

int32_t MConfigUtils::ReadLong(const QString& text) { return Variant(Variant::Val(text)).ToLong(); }

int16_t MConfigUtils::ReadInteger(const QString& text) { return Variant(Variant::Val(text)).ToInteger(); }

uint8_t MConfigUtils::ReadByte(const QString& text) { return Variant(Variant::Val(text)).ToByte(); }

bool MConfigUtils::ReadBoolean(const QString& text) { return Variant(text).ToBoolean(); }

QString MConfigUtils::WholeMmHgText(float pressure, int32_t unit) {
    return Variant(Variant(MConversions::ConvertUnits(pressure, unit, epmuMMHG)).ToLong()).ToString();
}

std::shared_ptr<orvex::TestGuideSettings> MConfigUtils::NewTestGuideSettings() {
    return orvex::ComponentRegistry::Instance().CreateAs<orvex::TestGuideSettings>(kTestGuideSettingsClass);
}

std::shared_ptr<orvex::XmlElement> MConfigUtils::CreateRecord(
    const std::shared_ptr<orvex::XmlDocument>& document, const QString& source) {
    std::shared_ptr<orvex::XmlElement> record;
    try {
        if (document) record = document->CreateElement(kRecordTag);
    } catch (const orvex::ComError&) {
        // Reported below as the record's own error.
    }
    if (!record) HostServices::Errors()->Raise(MLanguage::kPlugInId, kErrSave, source, kSaveErrorKind);
    record->SetAttribute(kPlugInAttribute, MLanguage::kPlugInId);
    return record;
}

void MConfigUtils::AppendValue(const std::shared_ptr<orvex::XmlDocument>& document, orvex::XmlElement& parent,
                               const QString& tag, const Variant& value) {
    const auto child = document->CreateElement(tag);
    child->SetText(ValueText(value));
    parent.AppendChild(child);
}

QString MConfigUtils::ValueText(const Variant& value) {
    if (value.GetKind() == Variant::Kind::Boolean) return value.ToString();
    return HostServices::Values()->Format(value, QString());
}

void MConfigUtils::AppendSettings(const std::shared_ptr<orvex::XmlDocument>& document,
                                  orvex::XmlElement& parent, const orvex::TestGuideSettings& settings) {
    if (const auto element = settings.Save(document)) parent.AppendChild(element);
}

QString MConfigUtils::ReportRow(orvex::ReportContext& report, const QString& labelLiteral,
                                const QString& value) {
    return QStringLiteral("|      ") + report.GetText(MLanguage::kPlugInId, labelLiteral) + QLatin1Char('|') +
           value + QLatin1Char(';');
}

void MConfigUtils::PrintReport(orvex::ReportContext& report, const QString& rows) {
    if (rows.isEmpty()) return;
    const QString title = QStringLiteral("|{\\i\\b ") +
                          report.GetText(MLanguage::kPlugInId, QStringLiteral("310::Configuration")) +
                          QStringLiteral("};");
    // In 64 bits: the report's width may be any number. Division truncates toward zero.
    const int64_t valueWidth = (static_cast<int64_t>(report.Width(orvex::ReportContext::kTableWidth)) -
                                2 * kIndentWidth - kLabelWidth) /
                               kValueColumns;
    const QString indent = QString::number(kIndentWidth);
    const QString value = QString::number(valueWidth);
    const QString columns =
        QStringLiteral("<+") + indent + QStringLiteral("|<") + QString::number(kLabelWidth) +
        QStringLiteral("|<+") + value + QStringLiteral("|<+") + value + QStringLiteral("|<+") + value +
        QStringLiteral("|<+!") + value + QStringLiteral("|<+") + indent + QLatin1Char(';');
    report.SetFontSize(kFontSize);
    report.SetBold(false);
    report.SetKeepTogether(true);
    report.PrintTable(title, columns, rows, false, false, false);
}

}  // namespace korotka
