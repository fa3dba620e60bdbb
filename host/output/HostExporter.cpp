#include "HostExporter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <utility>

#include "host/platform/HostAtomicFile.h"
#include "host/platform/HostLog.h"
#include "host/records/HostReportContext.h"
#include "host/records/HostReportMarkup.h"
#include "host/visit/HostMeasurementLimits.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/ComError.h"
#include "hostapi/IConfigData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.Exporter");

const QStringList kCsvColumns{QStringLiteral("position"),
                              QStringLiteral("test_id"),
                              QStringLiteral("test_name"),
                              QStringLiteral("test_status"),
                              QStringLiteral("performed"),
                              QStringLiteral("key"),
                              QStringLiteral("description"),
                              QStringLiteral("value"),
                              QStringLiteral("value_text"),
                              QStringLiteral("unit"),
                              QStringLiteral("status"),
                              QStringLiteral("preset"),
                              QStringLiteral("limits"),
                              QStringLiteral("instrument"),
                              QStringLiteral("instrument_serial_no"),
                              QStringLiteral("instrument_firmware"),
                              QStringLiteral("asset_id"),
                              QStringLiteral("asset_make_model"),
                              QStringLiteral("asset_serial_no"),
                              QStringLiteral("asset_location"),
                              QStringLiteral("technician")};

QJsonValue JsonNumber(std::optional<double> number) { return number ? QJsonValue(*number) : QJsonValue(); }

QString CsvNumber(std::optional<double> number) {
    return number ? QString::number(*number, 'g', QLocale::FloatingPointShortest) : QString();
}

// A spreadsheet runs a cell that begins like a formula; a number is the only such text it may read
// as it stands.
bool LooksLikeFormula(const QString& text) {
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    if (text.isEmpty() || !kFormulaStarts.contains(text.front())) return false;
    bool number = false;
    text.toDouble(&number);
    return !number || text != text.trimmed();
}

// Quoted when it holds a separator, a quote or a line break; quotes inside are doubled. A text a
// spreadsheet would run as a formula is kept a text by a leading apostrophe.
QString CsvField(QString text) {
    if (LooksLikeFormula(text)) text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString Performed(const HostSequence& sequence, qsizetype position) {
    const QDateTime at = sequence.Performed(position).at;
    return at.isValid() ? at.toUTC().toString(Qt::ISODate) : QString();
}

std::optional<HostSequence::Instrument> InstrumentOf(const HostSequence& sequence, qsizetype position) {
    const qsizetype at = sequence.Performed(position).instrument;
    if (at < 0 || at >= sequence.Instruments().size()) return std::nullopt;
    return sequence.Instruments()[at];
}

QString LimitsText(const std::vector<HostMeasurementLimits::Limits>& limits) {
    QStringList texts;
    for (const auto& entry : limits) {
        texts
            << QStringLiteral("%1 %2..%3").arg(entry.alphaName, CsvNumber(entry.low), CsvNumber(entry.high));
    }
    return texts.join(QStringLiteral("; "));
}

QJsonObject AssetJson(const HostSequence::Asset& asset) {
    return {{QStringLiteral("id"), asset.id},
            {QStringLiteral("makeModel"), asset.makeModel},
            {QStringLiteral("serialNo"), asset.serialNo},
            {QStringLiteral("location"), asset.location}};
}

QJsonObject MeasurementJson(ITestElement& element, IMeasurement& measurement) {
    QJsonArray limits;
    for (const auto& entry : HostMeasurementLimits::Of(element, measurement)) {
        limits.append(QJsonObject{{QStringLiteral("standard"), entry.alphaName},
                                  {QStringLiteral("standardName"), entry.completeName},
                                  {QStringLiteral("low"), JsonNumber(entry.low)},
                                  {QStringLiteral("high"), JsonNumber(entry.high)}});
    }
    return {{QStringLiteral("key"), measurement.Key()},
            {QStringLiteral("description"), measurement.Description()},
            {QStringLiteral("value"), JsonNumber(HostResultText::Number(measurement.Value()))},
            {QStringLiteral("valueText"), HostResultText::Value(measurement)},
            {QStringLiteral("unit"), measurement.Unit()},
            {QStringLiteral("status"), HostVerdict::ReadingWord(element, measurement)},
            {QStringLiteral("preset"), JsonNumber(HostResultText::Number(measurement.PresetValue()))},
            {QStringLiteral("limits"), limits}};
}

}  // namespace

HostExporter::HostExporter(const HostSequence& sequence, std::shared_ptr<LanguageService> language)
    : m_sequence(sequence), m_language(std::move(language)) {}

// The configuration prints itself as report tables; each row read as one line of text.
QStringList HostExporter::ConfigurationTexts(qsizetype position) const {
    QStringList texts;
    const auto configuration = m_sequence.Tests()[position]->Configuration();
    if (!configuration) return texts;
    auto report = std::make_shared<HostReportContext>(m_language);
    try {
        configuration->PrintReport(report);
    } catch (const ComError& error) {
        qCWarning(lcHost).noquote()
            << QStringLiteral("test %1: the configuration is exported in part:").arg(position + 1)
            << error.what();
    }
    for (const auto& table : report->Tables()) {
        for (const QString& markup : {table.title, table.rows}) {
            for (const HostReportMarkup::Row& row : HostReportMarkup::Rows(markup)) {
                QStringList cells;
                for (const HostReportMarkup::Cell& cell : row) {
                    const QString text = HostReportMarkup::PlainText(cell).simplified();
                    if (!text.isEmpty()) cells << text;
                }
                if (!cells.isEmpty()) texts << cells.join(QLatin1Char(' '));
            }
        }
    }
    return texts;
}

QJsonArray HostExporter::Json() const {
    QJsonArray tests;
    for (qsizetype i = 0; i < m_sequence.Tests().size(); ++i) {
        const auto element = m_sequence.Tests()[i];
        const auto info = element->Info();
        const auto result = element->Result();
        QJsonArray measurements;
        const int32_t count = result ? result->MeasurementCount() : 0;
        for (int32_t m = 1; m <= count; ++m) {
            if (const auto measurement = result->Measurement(Variant(m))) {
                measurements.append(MeasurementJson(*element, *measurement));
            }
        }
        const auto instrument = InstrumentOf(m_sequence, i);
        const QString performed = Performed(m_sequence, i);
        tests.append(QJsonObject{
            {QStringLiteral("position"), static_cast<qint64>(i + 1)},
            {QStringLiteral("testId"), element->TestID()},
            {QStringLiteral("name"), info ? info->Name() : QString()},
            {QStringLiteral("status"), HostVerdict::TestWord(*element)},
            {QStringLiteral("performed"), performed.isEmpty() ? QJsonValue() : QJsonValue(performed)},
            {QStringLiteral("configuration"), QJsonArray::fromStringList(ConfigurationTexts(i))},
            {QStringLiteral("measurements"), measurements},
            {QStringLiteral("instrument"),
             instrument ? QJsonValue(QJsonObject{{QStringLiteral("name"), instrument->name},
                                                 {QStringLiteral("serialNo"), instrument->serialNo},
                                                 {QStringLiteral("firmware"), instrument->fwVersion}})
                        : QJsonValue()},
            {QStringLiteral("asset"), AssetJson(m_sequence.AssetUnderTest())},
            {QStringLiteral("technician"), m_sequence.Technician()}});
    }
    return tests;
}

QString HostExporter::Csv() const {
    QString csv = kCsvColumns.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    const HostSequence::Asset& asset = m_sequence.AssetUnderTest();
    for (qsizetype i = 0; i < m_sequence.Tests().size(); ++i) {
        const auto element = m_sequence.Tests()[i];
        const auto info = element->Info();
        const auto result = element->Result();
        const auto instrument = InstrumentOf(m_sequence, i).value_or(HostSequence::Instrument{});
        const int32_t count = result ? result->MeasurementCount() : 0;
        for (int32_t m = 1; m <= count; ++m) {
            const auto measurement = result->Measurement(Variant(m));
            if (!measurement) continue;
            const QStringList fields{QString::number(i + 1),
                                     QString::number(element->TestID()),
                                     info ? info->Name() : QString(),
                                     HostVerdict::TestWord(*element),
                                     Performed(m_sequence, i),
                                     measurement->Key(),
                                     measurement->Description(),
                                     CsvNumber(HostResultText::Number(measurement->Value())),
                                     HostResultText::Value(*measurement),
                                     measurement->Unit(),
                                     HostVerdict::ReadingWord(*element, *measurement),
                                     CsvNumber(HostResultText::Number(measurement->PresetValue())),
                                     LimitsText(HostMeasurementLimits::Of(*element, *measurement)),
                                     instrument.name,
                                     instrument.serialNo,
                                     instrument.fwVersion,
                                     asset.id,
                                     asset.makeModel,
                                     asset.serialNo,
                                     asset.location,
                                     m_sequence.Technician()};
            QStringList quoted;
            for (const QString& field : fields) quoted << CsvField(field);
            csv += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
    }
    return csv;
}

void HostExporter::WriteJson(const QString& path) const {
    HostAtomicFile::Write(path, QJsonDocument(Json()).toJson(QJsonDocument::Indented), kSource);
}

void HostExporter::WriteCsv(const QString& path) const {
    HostAtomicFile::Write(path, Csv().toUtf8(), kSource);
}

}  // namespace orvex
