#include "HostExporter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <algorithm>
#include <utility>

#include "host/archive/HostRepeats.h"
#include "host/archive/HostStaticPoints.h"
#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostAtomicFile.h"
#include "host/visit/HostSequence.h"

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
                              QStringLiteral("technician"),
                              QStringLiteral("procedure"),
                              QStringLiteral("procedure_version"),
                              QStringLiteral("repeat_mean"),
                              QStringLiteral("repeat_sd"),
                              QStringLiteral("repeat_range"),
                              QStringLiteral("repeat_range_limit"),
                              QStringLiteral("repeat_status"),
                              QStringLiteral("set_pressure"),
                              QStringLiteral("set_pressure_unit")};

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

QString LimitsText(const QList<HostVisitRecord::Limit>& limits) {
    QStringList texts;
    for (const auto& limit : limits)
        texts << QStringLiteral("%1 %2..%3").arg(limit.standard, CsvNumber(limit.low), CsvNumber(limit.high));
    return texts.join(QStringLiteral("; "));
}

QJsonObject ReadingJson(const HostVisitRecord::Reading& reading) {
    QJsonArray limits;
    for (const auto& limit : reading.limits) {
        limits.append(QJsonObject{{QStringLiteral("standard"), limit.standard},
                                  {QStringLiteral("standardName"), limit.standardName},
                                  {QStringLiteral("low"), JsonNumber(limit.low)},
                                  {QStringLiteral("high"), JsonNumber(limit.high)}});
    }
    return {{QStringLiteral("key"), reading.key},
            {QStringLiteral("description"), reading.description},
            {QStringLiteral("value"), JsonNumber(reading.value)},
            {QStringLiteral("valueText"), reading.formatted},
            {QStringLiteral("unit"), reading.unit},
            {QStringLiteral("status"), reading.status},
            {QStringLiteral("preset"), JsonNumber(reading.preset)},
            {QStringLiteral("limits"), limits}};
}

// A static-pressure test as a point of the visit's accuracy check; none for any other test.
QJsonValue StaticJson(const QList<HostStaticPoints::Point>& points, int position) {
    const auto point = std::find_if(points.begin(), points.end(),
                                    [&](const auto& known) { return known.position == position; });
    if (point == points.end()) return {};
    const auto value = [](const std::optional<HostVisitRecord::Reading>& reading) {
        return reading ? JsonNumber(reading->value) : QJsonValue();
    };
    return QJsonObject{{QStringLiteral("setPressure"), JsonNumber(point->setPressure)},
                       {QStringLiteral("setPressureUnit"), point->setPressureUnit},
                       {QStringLiteral("noPump"), point->noPump},
                       {QStringLiteral("korotka"), value(point->reference)},
                       {QStringLiteral("monitor"), value(point->monitor)},
                       {QStringLiteral("difference"), value(point->difference)},
                       {QStringLiteral("low"), JsonNumber(point->low)},
                       {QStringLiteral("high"), JsonNumber(point->high)},
                       {QStringLiteral("status"), point->status}};
}

// The group of repeats a test belongs to; none when it is performed once.
const HostRepeats::Group* GroupOf(const QList<HostRepeats::Group>& groups, int position) {
    for (const HostRepeats::Group& group : groups) {
        if (group.positions.contains(position)) return &group;
    }
    return nullptr;
}

const HostRepeats::Spread* SpreadOf(const HostRepeats::Group* group, const QString& key) {
    for (qsizetype i = 0; group && i < group->spreads.size(); ++i) {
        if (group->spreads[i].key == key) return &group->spreads[i];
    }
    return nullptr;
}

QJsonValue RepeatsJson(const HostRepeats::Group* group) {
    if (!group) return {};
    QJsonArray positions;
    for (const int position : group->positions) positions.append(position);
    QJsonArray spreads;
    for (const HostRepeats::Spread& spread : group->spreads) {
        spreads.append(QJsonObject{
            {QStringLiteral("key"), spread.key},
            {QStringLiteral("unit"), spread.unit},
            {QStringLiteral("count"), spread.count},
            {QStringLiteral("mean"), spread.mean},
            {QStringLiteral("sd"), spread.deviation},
            {QStringLiteral("lowest"), spread.lowest},
            {QStringLiteral("highest"), spread.highest},
            {QStringLiteral("range"), spread.Range()},
            {QStringLiteral("rangeLimit"), JsonNumber(spread.rangeLimit)},
            {QStringLiteral("status"), spread.status.isEmpty() ? QJsonValue() : QJsonValue(spread.status)}});
    }
    return QJsonObject{{QStringLiteral("positions"), positions}, {QStringLiteral("spread"), spreads}};
}

}  // namespace

HostExporter::HostExporter(const HostSequence& sequence, std::shared_ptr<LanguageService> language)
    : m_sequence(sequence), m_language(std::move(language)) {}

HostVisitRecord HostExporter::Visit() const {
    const HostVisitRecord::Configuration configuration{m_language};
    return HostVisitRecord::FromSequence(m_sequence, &configuration);
}

QJsonArray HostExporter::Json() const {
    const HostVisitRecord visit = Visit();
    const auto groups = HostRepeats::Of(visit);
    const auto points = HostStaticPoints::Of(visit);
    QJsonArray tests;
    for (const HostVisitRecord::Test& test : visit.tests) {
        QJsonArray readings;
        for (const HostVisitRecord::Reading& reading : test.readings) readings.append(ReadingJson(reading));
        const auto& instrument = test.instrument;
        tests.append(QJsonObject{
            {QStringLiteral("position"), test.position},
            {QStringLiteral("testId"), test.testId},
            {QStringLiteral("name"), test.name},
            {QStringLiteral("status"), test.status},
            {QStringLiteral("performed"),
             test.performed.isEmpty() ? QJsonValue() : QJsonValue(test.performed)},
            {QStringLiteral("configuration"), QJsonArray::fromStringList(test.configuration)},
            {QStringLiteral("measurements"), readings},
            {QStringLiteral("instrument"),
             instrument ? QJsonValue(QJsonObject{{QStringLiteral("name"), instrument->name},
                                                 {QStringLiteral("serialNo"), instrument->serialNo},
                                                 {QStringLiteral("firmware"), instrument->fwVersion}})
                        : QJsonValue()},
            {QStringLiteral("asset"), visit.AssetJson()},
            {QStringLiteral("technician"), visit.technician},
            {QStringLiteral("repeats"), RepeatsJson(GroupOf(groups, test.position))},
            {QStringLiteral("static"), StaticJson(points, test.position)},
            {QStringLiteral("procedure"),
             visit.procedure.isEmpty()
                 ? QJsonValue()
                 : QJsonValue(QJsonObject{{QStringLiteral("name"), visit.procedure},
                                          {QStringLiteral("version"), visit.procedureVersion}})}});
    }
    return tests;
}

QString HostExporter::Csv() const {
    const HostVisitRecord visit = Visit();
    const auto groups = HostRepeats::Of(visit);
    QString csv = kCsvColumns.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const HostVisitRecord::Test& test : visit.tests) {
        const auto instrument = test.instrument.value_or(HostSequence::Instrument{});
        const HostRepeats::Group* group = GroupOf(groups, test.position);
        for (const HostVisitRecord::Reading& reading : test.readings) {
            const HostRepeats::Spread* spread = SpreadOf(group, reading.key);
            const QStringList fields{QString::number(test.position),
                                     QString::number(test.testId),
                                     test.name,
                                     test.status,
                                     test.performed,
                                     reading.key,
                                     reading.description,
                                     CsvNumber(reading.value),
                                     reading.formatted,
                                     reading.unit,
                                     reading.status,
                                     CsvNumber(reading.preset),
                                     LimitsText(reading.limits),
                                     instrument.name,
                                     instrument.serialNo,
                                     instrument.fwVersion,
                                     visit.assetId,
                                     visit.assetMakeModel,
                                     visit.assetSerialNo,
                                     visit.assetLocation,
                                     visit.technician,
                                     visit.procedure,
                                     visit.procedureVersion,
                                     spread ? CsvNumber(spread->mean) : QString(),
                                     spread ? CsvNumber(spread->deviation) : QString(),
                                     spread ? CsvNumber(spread->Range()) : QString(),
                                     spread ? CsvNumber(spread->rangeLimit) : QString(),
                                     spread ? spread->status : QString(),
                                     CsvNumber(test.setPressure),
                                     test.setPressure ? test.setPressureUnit : QString()};
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
