#include "HostReportWriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "host/archive/HostDrift.h"
#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostRepeats.h"
#include "host/archive/HostStaticPoints.h"
#include "host/archive/HostVisitRecord.h"
#include "host/output/HostAccuracyPicture.h"
#include "host/output/HostFleetText.h"
#include "host/output/HostMarginPicture.h"
#include "host/output/HostPageBreaks.h"
#include "host/output/HostTrendPicture.h"
#include "host/platform/HostAtomicFile.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/records/HostPrintJob.h"
#include "host/records/HostReportContext.h"
#include "host/visit/HostMeasurementLimits.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/ValueFormatter.h"
#include "hostapi/VariantArray.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.ReportWriter");
// Pixels at 96 dpi: the unit the report tables are laid out in.
constexpr int kResolution = 96;
constexpr double kMarginMillimetres = 15.0;
constexpr int kFooterHeight = 28;
constexpr int kFontPoints = 9;
// The PDF's layout reads padding given side by side only. A browser that prints the HTML keeps
// headings with what follows and repeats a table's title rows on each page; the PDF does both in
// its own layout.
const QString kPrintStyle = QStringLiteral(
    "td{padding-left:4px;padding-right:4px}h1,h2,h3{page-break-after:avoid;break-after:avoid}"
    "thead{display:table-header-group}tr{page-break-inside:avoid}");

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString When(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

// The columns of the readings table with their widths in pixels: with their padding within the
// page (A4 less its margins is 680 pixels wide), the last one as wide as the margin picture.
const std::pair<QString, int> kReadingsColumns[] = {
    {QStringLiteral("1315::Reading"), 100},  {QStringLiteral("1093::Value"), 80},
    {QStringLiteral("1114::Standard"), 100}, {QStringLiteral("233::Low limit"), 95},
    {QStringLiteral("232::High limit"), 95}, {QStringLiteral("1316::Where it lies"), 160}};
constexpr int kReadingsWidth = 660;
// The summary's columns, as wide in all as the readings tables.
const std::pair<QString, int> kSummaryColumns[] = {{QStringLiteral("1351::No."), 40},
                                                   {QStringLiteral("1031::Test"), 210},
                                                   {QStringLiteral("1352::Setting"), 270},
                                                   {QStringLiteral("1088::Verdict"), 140}};
// The static points' columns, as wide in all as the readings tables.
const std::pair<QString, int> kStaticColumns[] = {
    {QStringLiteral("1351::No."), 40},        {QStringLiteral("1361::Set pressure"), 130},
    {QStringLiteral("1362::Korotka"), 95},    {QStringLiteral("1363::Monitor"), 95},
    {QStringLiteral("1364::Difference"), 95}, {QStringLiteral("1365::Limit"), 95},
    {QStringLiteral("1088::Verdict"), 110}};
// A repeated reading's spread: the reading and its unit, then the numbers, the range's limit last.
const std::pair<QString, int> kRepeatsColumns[] = {
    {QStringLiteral("1315::Reading"), 125}, {QStringLiteral("1373::n"), 30},
    {QStringLiteral("1374::Mean"), 75},     {QStringLiteral("1375::Std. dev."), 80},
    {QStringLiteral("1376::Lowest"), 70},   {QStringLiteral("1377::Highest"), 70},
    {QStringLiteral("1378::Range"), 80},    {QStringLiteral("1379::Range limit"), 130}};
// The trend picture under a reading, across its last three columns: room for its scale, its
// limits and its first and last date.
const QSize kTrendSize(300, 84);

// A test's status or the overall verdict as shown, in the colour of its word ("passed", ...) as
// the window shows it; a word without one (incomplete, not measured, ...) in amber.
QString VerdictHtml(const QString& word, const QString& shown) {
    const QColor colour = HostResultText::StatusColour(word);
    return QStringLiteral("<b style=\"color:%1\">%2</b>")
        .arg(colour.isValid() ? colour.name() : QStringLiteral("#8a6d00"), Escaped(shown));
}

QString HeaderRow(const QString& label, const QString& value) {
    return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>\n")
        .arg(Escaped(label), value.isEmpty() ? QStringLiteral("&ndash;") : value);
}

QString PictureSource(const QImage& image, qsizetype index, bool embed) {
    if (!embed) return QStringLiteral("margin-%1").arg(index);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        qCWarning(lcHost) << "a margin picture could not be encoded; the report shows it empty";
    }
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// The picture in the report at its size on the page; none drawn: a dash.
QString Picture(const QImage& image, QSize size, bool embed, std::vector<QImage>& pictures) {
    if (image.isNull()) return QStringLiteral("&ndash;");
    QString tag =
        QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\" style=\"vertical-align:middle\">")
            .arg(PictureSource(image, static_cast<qsizetype>(pictures.size()), embed))
            .arg(size.width())
            .arg(size.height());
    pictures.push_back(image);
    return tag;
}

// A limit in the format of the reading it limits.
QString LimitText(IMeasurement& measurement, double limit) {
    return HostResultText::ShownNumber(limit, measurement.ValueFormat());
}

// A number the records keep with a decimal point, as the report's language writes it.
QString Shown(double number) { return HostReportContext::ShownNumbers(QString::number(number)); }

// A spread's number to a fixed count of decimals: a mean of 121.33 reads 121.3 beside 2.52.
QString Fixed(double number, int decimals) {
    return HostReportContext::ShownNumbers(QString::number(number, 'f', decimals));
}

// A static point's reading with its unit; a dash for one not measured.
QString ReadingCell(const std::optional<HostVisitRecord::Reading>& reading) {
    if (!reading || reading->valueText.isEmpty()) return QStringLiteral("&ndash;");
    return Escaped(
        reading->shownWithUnit.isEmpty()
            ? HostResultText::WithUnit(HostReportContext::ShownNumbers(reading->valueText), reading->unit)
            : reading->shownWithUnit);
}

// The band as text: even about zero, both sides, or one.
QString Band(std::optional<double> low, std::optional<double> high, const QString& unit) {
    if (low && high && *low == -*high)
        return HostResultText::WithUnit(QStringLiteral("\u00b1") + Shown(*high), unit);
    if (low && high)
        return HostResultText::WithUnit(Shown(*low) + QStringLiteral(" \u2026 ") + Shown(*high), unit);
    if (low) return HostResultText::WithUnit(QStringLiteral("\u2265 ") + Shown(*low), unit);
    return HostResultText::WithUnit(QStringLiteral("\u2264 ") + Shown(high.value_or(0)), unit);
}

// A band of limits as a reader takes it in: "±3 mmHg" when it is even about zero.
QString LimitBand(std::optional<double> low, std::optional<double> high, const QString& unit) {
    if (!low && !high) return QStringLiteral("&ndash;");
    return Escaped(Band(low, high, unit));
}

}  // namespace

HostReportWriter::HostReportWriter(const HostSequence& sequence, std::shared_ptr<LanguageService> language)
    : m_sequence(sequence), m_language(std::move(language)) {}

QString HostReportWriter::Text(const QString& literal, const QList<QString>& parameters) const {
    std::vector<Variant> values;
    for (const QString& parameter : parameters) values.emplace_back(parameter);
    return Text(literal, VariantArray::FromList(std::move(values)));
}

QString HostReportWriter::Text(const QString& literal, const VariantArray& parameters) const {
    return m_language ? m_language->GetText(HostLanguageService::kHostTexts, literal, parameters)
                      : HostLanguageService::HostText(literal, parameters);
}

std::optional<QString> HostReportWriter::ReadHistory(const QString& url) {
    const HostVisitRecord visit = HostVisitRecord::FromSequence(m_sequence);
    if (visit.assetId.isEmpty() || visit.performed.isEmpty()) return std::nullopt;
    try {
        HostResultsDatabase database(url, HostResultsDatabase::Access::Read);
        // Only what the trends draw: a long history costs no more than a short one.
        for (const auto& test : visit.tests) {
            for (const auto& reading : test.readings) {
                if (!reading.value || reading.limits.isEmpty()) continue;
                m_earlier.insert({test.position, reading.key},
                                 database.Readings(visit.assetId, test.testId, test.position, reading.key,
                                                   visit.performed, HostReadingTrend::kVisits - 1));
            }
        }
        // Whether the store vouches for each point: one read for all of them.
        QList<HostResultsDatabase::Visit> points;
        for (const auto& earlier : std::as_const(m_earlier)) points += earlier;
        database.Judge(points);
        QHash<qint64, bool> doubted;
        for (const auto& point : points)
            doubted.insert(point.revision.position, point.altered || point.broken);
        for (auto& earlier : m_earlier) {
            for (auto& point : earlier) point.altered = doubted.value(point.revision.position);
        }
        m_seal = database.Sealing(visit, {});
        m_sealRead = true;
    } catch (const ComError& error) {
        return error.Description();
    }
    return std::nullopt;
}

std::optional<HostReportWriter::Page> HostReportWriter::PageFromName(const QString& name) {
    if (name.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0) return Page::A4;
    if (name.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0) return Page::Letter;
    return std::nullopt;
}

QString HostReportWriter::Header() const {
    const HostSequence::Asset& asset = m_sequence.AssetUnderTest();
    QDateTime performed;
    for (qsizetype i = 0; i < m_sequence.Tests().size(); ++i) {
        const QDateTime at = m_sequence.Performed(i).at;
        if (at.isValid() && (!performed.isValid() || at > performed)) performed = at;
    }
    const QString notRecorded = Text(QStringLiteral("1310::not recorded"));
    QStringList instruments;
    for (const HostSequence::Instrument& instrument : m_sequence.Instruments()) {
        const auto known = [&notRecorded](const QString& text) {
            return text.isEmpty() ? notRecorded : text;
        };
        instruments << Escaped(
            Text(QStringLiteral("1054::%%1, serial number %%2, firmware %%3"),
                 {instrument.name, known(instrument.serialNo), known(instrument.fwVersion)}));
    }
    QString html = QStringLiteral("<h1>%1</h1>\n<table cellpadding=\"3\" cellspacing=\"0\">\n")
                       .arg(Escaped(Text(QStringLiteral("1300::Test report"))));
    html += HeaderRow(Text(QStringLiteral("1301::Asset ID")), Escaped(asset.id));
    html += HeaderRow(Text(QStringLiteral("1302::Make and model")), Escaped(asset.makeModel));
    html += HeaderRow(Text(QStringLiteral("1303::Serial number")), Escaped(asset.serialNo));
    html += HeaderRow(Text(QStringLiteral("1304::Location")), Escaped(asset.location));
    // A visit made from a procedure names it: the reader can tell which checks were meant.
    const HostSequence::Procedure& procedure = m_sequence.MadeFrom();
    if (!procedure.name.isEmpty()) {
        html += HeaderRow(Text(QStringLiteral("1380::Procedure")),
                          Escaped(procedure.version.isEmpty() ? procedure.name
                                                              : Text(QStringLiteral("1381::%%1, version %%2"),
                                                                     {procedure.name, procedure.version})));
    }
    if (!m_sequence.Visit().isEmpty())
        html += HeaderRow(Text(QStringLiteral("1382::Visit")), Escaped(m_sequence.Visit()));
    html += HeaderRow(Text(QStringLiteral("1305::Technician")), Escaped(m_sequence.Technician()));
    html += HeaderRow(Text(QStringLiteral("1306::Tested")), Escaped(When(performed)));
    html += HeaderRow(Text(QStringLiteral("1307::Report made")), Escaped(When(QDateTime::currentDateTime())));
    html +=
        HeaderRow(Text(QStringLiteral("1308::Instrument")),
                  instruments.isEmpty() ? Escaped(notRecorded) : instruments.join(QStringLiteral("<br>")));
    // The verdict in capitals, in the words the main window and the History tab use.
    const HostVerdict::Overall overall = HostVerdict::Of(m_sequence);
    const QString shown = overall == HostVerdict::Overall::Passed   ? QStringLiteral("1063::passed")
                          : overall == HostVerdict::Overall::Failed ? QStringLiteral("1064::failed")
                                                                    : QStringLiteral("1092::incomplete");
    // The seal ties the paper to the store: orvex verify --seal finds it there.
    if (m_sealRead) {
        html += HeaderRow(
            Text(QStringLiteral("1340::Seal")),
            Escaped(m_seal ? Text(QStringLiteral("1342::%%1 (revision %%2, stored %%3)"),
                                  {HostRevision::Short(m_seal->seal), QString::number(m_seal->number),
                                   When(QDateTime::fromString(m_seal->archived, Qt::ISODate))})
                           : Text(QStringLiteral("1343::this visit is not in the results database "
                                                 "as printed"))));
    }
    html += HeaderRow(Text(QStringLiteral("1309::Overall verdict")),
                      VerdictHtml(HostVerdict::Word(overall), Text(shown).toUpper()));
    html += QStringLiteral("</table>\n");
    return html;
}

QString HostReportWriter::Summary(const HostVisitRecord& visit) const {
    if (visit.tests.isEmpty()) return {};
    QString html = TableHead(Text(QStringLiteral("1350::Summary")), kSummaryColumns);
    for (const HostVisitRecord::Test& test : visit.tests) {
        html += QStringLiteral("<tr><td align=\"right\">%1</td><td>%2</td><td>%3</td><td>%4</td></tr>\n")
                    .arg(test.position)
                    .arg(Escaped(test.name),
                         test.configurationLine.isEmpty()
                             ? QStringLiteral("&ndash;")
                             : Escaped(HostReportContext::ShownNumbers(test.configurationLine)),
                         VerdictHtml(test.status, HostResultText::ShownStatus(test.status)));
    }
    return html + QStringLiteral("</tbody></table>\n");
}

QString HostReportWriter::StaticSection(const HostVisitRecord& visit, bool embedPictures,
                                        std::vector<QImage>& pictures) const {
    const QList<HostStaticPoints::Point> points = HostStaticPoints::Of(visit);
    if (points.isEmpty()) return {};
    QString html = TableHead(Text(QStringLiteral("1360::Static accuracy")), kStaticColumns);
    QString unit;
    for (const HostStaticPoints::Point& point : points) {
        if (unit.isEmpty() && point.difference) unit = point.difference->unit;
        QString set = point.setPressure
                          ? HostResultText::WithUnit(Shown(*point.setPressure), point.setPressureUnit)
                          : QStringLiteral("\u2013");
        if (point.noPump) set = Text(QStringLiteral("1366::%%1, no pump"), {set});
        const QString limitUnit = point.difference ? point.difference->unit : QString();
        html += QStringLiteral(
                    "<tr><td align=\"right\">%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td>"
                    "<td align=\"right\">%4</td><td align=\"right\">%5</td><td align=\"right\">%6</td>"
                    "<td>%7</td></tr>\n")
                    .arg(point.position)
                    .arg(Escaped(set), ReadingCell(point.reference), ReadingCell(point.monitor),
                         ReadingCell(point.difference), LimitBand(point.low, point.high, limitUnit),
                         VerdictHtml(point.status, HostResultText::ShownStatus(point.status)));
    }
    html += QStringLiteral("</tbody></table>\n");
    const QImage picture =
        HostAccuracyPicture::Draw({HostAccuracyPicture::SeriesOf(points)},
                                  Text(QStringLiteral("1367::The monitor's error over its range")),
                                  {Text(QStringLiteral("1368::Korotka reading (%%1)"), {unit}),
                                   Text(QStringLiteral("1369::Monitor less Korotka (%%1)"), {unit})});
    // No point performed yet: the table says so, an empty picture would not.
    if (!picture.isNull()) {
        html += QStringLiteral("<p>%1</p>\n")
                    .arg(Picture(picture, QSize(HostAccuracyPicture::kWidth, HostAccuracyPicture::kHeight),
                                 embedPictures, pictures));
    }
    return html;
}

QString HostReportWriter::RepeatsSection(const HostVisitRecord& visit) const {
    QString html;
    for (const HostRepeats::Group& group : HostRepeats::Of(visit)) {
        QStringList positions;
        for (const int position : group.positions) positions << QString::number(position);
        html += TableHead(Text(QStringLiteral("1370::Repeated readings: %%1, tests %%2"),
                               {group.name, positions.join(QStringLiteral(", "))}),
                          kRepeatsColumns);
        // The repeats share their setting: the first one's rows name it, as the summary does.
        const auto first = std::find_if(visit.tests.begin(), visit.tests.end(), [&](const auto& test) {
            return test.position == group.positions.first();
        });
        if (first != visit.tests.end() && !first->configurationLine.isEmpty()) {
            html += QStringLiteral("<tr><td colspan=\"%1\">%2</td></tr>\n")
                        .arg(std::size(kRepeatsColumns))
                        .arg(Escaped(Text(QStringLiteral("1371::Setting: %%1"),
                                          {HostReportContext::ShownNumbers(first->configurationLine)})));
        }
        for (const HostRepeats::Spread& spread : group.spreads) {
            QString limit = QStringLiteral("&ndash;");
            if (spread.rangeLimit) {
                limit = Escaped(
                    HostResultText::WithUnit(Fixed(*spread.rangeLimit, spread.decimals), spread.unit));
                if (!spread.status.isEmpty())
                    limit += QStringLiteral("<br>") +
                             VerdictHtml(spread.status, HostResultText::ShownStatus(spread.status));
            }
            html +=
                QStringLiteral(
                    "<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td>"
                    "<td align=\"right\">%4</td><td align=\"right\">%5</td><td align=\"right\">%6</td>"
                    "<td align=\"right\">%7</td><td align=\"right\">%8</td></tr>\n")
                    .arg(Escaped(HostResultText::WithUnit(
                        spread.description.isEmpty() ? spread.key : spread.description,
                        spread.unit.isEmpty() ? QString() : QStringLiteral("(%1)").arg(spread.unit))))
                    .arg(spread.count)
                    .arg(Fixed(spread.mean, spread.decimals), Fixed(spread.deviation, spread.decimals + 1),
                         Fixed(spread.lowest, spread.decimals), Fixed(spread.highest, spread.decimals),
                         Fixed(spread.Range(), spread.decimals), limit);
        }
        if (group.spreads.isEmpty()) {
            html +=
                QStringLiteral("<tr><td colspan=\"%1\">%2</td></tr>\n")
                    .arg(std::size(kRepeatsColumns))
                    .arg(Escaped(Text(QStringLiteral("1372::Fewer than two of them hold a reading yet."))));
        }
        html += QStringLiteral("</tbody></table>\n");
    }
    return html;
}

QString HostReportWriter::TableHead(const QString& heading,
                                    std::span<const std::pair<QString, int>> columns) const {
    // A heading and title row the PDF keeps with the first row (HostPageBreaks), which a browser
    // repeats on each page the table runs over.
    QString head =
        QStringLiteral(
            "<h3 style=\"font-size:%1pt;margin-top:12px\">%2</h3>\n<table border=\"1\" "
            "cellpadding=\"4\" cellspacing=\"0\" width=\"%3\" style=\"border-collapse:collapse\">\n"
            "<thead><tr style=\"background:#d9d9d9\">")
            .arg(kFontPoints)
            .arg(Escaped(heading))
            .arg(kReadingsWidth);
    for (const auto& [column, width] : columns)
        head += QStringLiteral("<td width=\"%1\"><b>%2</b></td>").arg(width).arg(Escaped(Text(column)));
    return head + QStringLiteral("</tr></thead>\n<tbody>\n");
}

QString HostReportWriter::TrendRow(qsizetype position, IMeasurement& measurement, double number,
                                   const HostMeasurementLimits::Limits& limits, bool embedPictures,
                                   std::vector<QImage>& pictures) const {
    const auto element = m_sequence.Tests()[position];
    const int at = static_cast<int>(position + 1);
    const auto earlier = HostReadingTrend::Of(m_earlier.value({at, measurement.Key()}),
                                              {element->TestID(), at, measurement.Key(), {}, {}, {}});
    if (earlier.isEmpty()) return {};
    const auto doubted =
        std::count_if(earlier.begin(), earlier.end(), [](const auto& point) { return point.doubted; });
    QList<double> values;
    QStringList dates;
    // The line is fitted through the points drawn, against the band drawn.
    HostDrift drift;
    // The last of them is this visit's own reading.
    for (qsizetype i = std::max<qsizetype>(0, earlier.size() - (HostReadingTrend::kVisits - 1));
         i < earlier.size(); ++i) {
        const QDateTime when = QDateTime::fromString(earlier[i].performed, Qt::ISODate);
        values << earlier[i].value;
        dates << When(when);
        drift.Add(when, earlier[i].value);
    }
    values << number;
    dates << When(m_sequence.Performed(position).at);
    drift.Add(m_sequence.Performed(position).at, number);
    const HostDrift::Band band{limits.low, limits.high};
    const auto line = drift.Fit(band);
    const QString drifting = line ? QStringLiteral("<br>%1").arg(Escaped(HostFleetText::Sentence(
                                        *line, band, measurement.Unit(),
                                        [this](const QString& literal, const VariantArray& parameters) {
                                            return Text(literal, parameters);
                                        })))
                                  : QString();
    // Under the reading, a row of its own keeps the columns readable. The words and the picture
    // are one line of one cell, so a page ends above them or below them, never between.
    // Points the store cannot vouch for are told under the picture, in the row that holds it.
    const QString doubt =
        doubted > 0
            ? QStringLiteral("<br><font color=\"#c00000\">%1</font>")
                  .arg(Escaped(Text(QStringLiteral("1341::%%1 of them altered after they were stored or "
                                                   "after a break in the seals (orvex verify names it)"),
                                    {QString::number(doubted)})))
            : QString();
    return QStringLiteral("<tr><td colspan=\"6\" align=\"right\">%1 &nbsp;%2%3%4</td></tr>\n")
        .arg(Escaped(Text(QStringLiteral("1319::Over the last %%1 visits, since %%2"),
                          {QString::number(values.size()), dates.first()})),
             Picture(HostTrendPicture::Draw(values, limits.low, limits.high, kTrendSize, dates), kTrendSize,
                     embedPictures, pictures),
             drifting, doubt);
}

QString HostReportWriter::ReadingsTable(qsizetype position, bool embedPictures,
                                        std::vector<QImage>& pictures) const {
    const auto element = m_sequence.Tests()[position];
    const auto result = element->Result();
    QString rows;
    const int32_t count = result ? result->MeasurementCount() : 0;
    for (int32_t i = 1; i <= count; ++i) {
        const auto measurement = result->Measurement(Variant(i));
        if (!measurement) continue;
        const auto reading = HostResultText::Number(measurement->Value());
        if (!reading) continue;
        const double number = *reading;
        for (const HostMeasurementLimits::Limits& limits :
             HostMeasurementLimits::Of(*element, *measurement)) {
            const QString drawn = Picture(HostMarginPicture::Draw(number, limits.low, limits.high),
                                          QSize(HostMarginPicture::kWidth, HostMarginPicture::kHeight),
                                          embedPictures, pictures);
            const bool within = HostMarginPicture::Within(number, limits.low, limits.high);
            // Whether it lies within is written under the picture: a column of its own left the
            // German headings no room.
            rows +=
                QStringLiteral(
                    "<tr><td>%1</td><td align=\"right\" style=\"white-space:nowrap\">%2</td><td>%3</td>"
                    "<td align=\"right\">%4</td><td align=\"right\">%5</td><td>%6<br>%7</td></tr>\n")
                    .arg(Escaped(measurement->Description().isEmpty() ? measurement->Key()
                                                                      : measurement->Description()),
                         Escaped(HostResultText::ShownWithUnit(*measurement)), Escaped(limits.completeName),
                         limits.low ? Escaped(LimitText(*measurement, *limits.low))
                                    : QStringLiteral("&ndash;"),
                         limits.high ? Escaped(LimitText(*measurement, *limits.high))
                                     : QStringLiteral("&ndash;"),
                         drawn,
                         within ? Escaped(Text(QStringLiteral("1317::within")))
                                : QStringLiteral("<b style=\"color:#c00000\">%1</b>")
                                      .arg(Escaped(Text(QStringLiteral("1318::outside")))));
            rows += TrendRow(position, *measurement, number, limits, embedPictures, pictures);
        }
    }
    if (rows.isEmpty()) return {};
    return TableHead(Text(QStringLiteral("1314::Readings against their limits")), kReadingsColumns) + rows +
           QStringLiteral("</tbody></table>\n");
}

QString HostReportWriter::TestSection(qsizetype position, bool embedPictures,
                                      std::vector<QImage>& pictures) const {
    const auto element = m_sequence.Tests()[position];
    const auto info = element->Info();
    const auto result = element->Result();
    const QString word = HostVerdict::TestWord(*element);
    QString html =
        QStringLiteral("<h2>%1. %2</h2>\n<p>%3 %4")
            .arg(position + 1)
            .arg(Escaped(info ? info->Name() : QString()), Escaped(Text(QStringLiteral("1311::Status:"))),
                 VerdictHtml(word, HostResultText::ShownStatus(word)));
    const QDateTime performed = m_sequence.Performed(position).at;
    if (performed.isValid()) {
        html += QStringLiteral(" &nbsp; %1 %2")
                    .arg(Escaped(Text(QStringLiteral("1312::Performed:"))), Escaped(When(performed)));
    }
    html += QStringLiteral("</p>\n");
    auto report = std::make_shared<HostReportContext>(m_language);
    try {
        element->PrintReport(report, std::make_shared<HostPrintJob>());
    } catch (const ComError& error) {
        // The rest of the report still stands; the reader sees what is missing and why.
        qCWarning(lcHost).noquote()
            << QStringLiteral("test %1 printed only part of its report:").arg(position + 1) << error.what();
        html += QStringLiteral("<p><b>%1</b></p>\n")
                    .arg(Escaped(
                        Text(QStringLiteral("1313::Part of this test's report could not be printed: %%1"),
                             {error.Description()})));
    }
    html += report->TablesHtml();
    html += ReadingsTable(position, embedPictures, pictures);
    return html;
}

QString HostReportWriter::Html(bool embedPictures, std::vector<QImage>& pictures) const {
    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>\n<style>")
            .arg(Escaped(Text(QStringLiteral("1300::Test report")))) +
        HostReportContext::kTableStyle + kPrintStyle +
        QStringLiteral("</style></head><body style=\"font-size:%1pt\">\n").arg(kFontPoints) + Header();
    // The configuration's rows name each test's setting (its pressure, its preset) and tell
    // repeats apart.
    const HostVisitRecord::Configuration configuration{m_language};
    const HostVisitRecord visit = HostVisitRecord::FromSequence(m_sequence, &configuration);
    html += Summary(visit) + StaticSection(visit, embedPictures, pictures) + RepeatsSection(visit);
    for (qsizetype i = 0; i < m_sequence.Tests().size(); ++i) html += TestSection(i, embedPictures, pictures);
    return html + QStringLiteral("</body></html>\n");
}

void HostReportWriter::WriteHtml(const QString& path) const {
    std::vector<QImage> pictures;
    HostAtomicFile::Write(path, Html(true, pictures).toUtf8(), kSource);
}

void HostReportWriter::WritePdf(const QString& path, Page page) const {
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kResolution);
        writer.setPageSize(QPageSize(page == Page::A4 ? QPageSize::A4 : QPageSize::Letter));
        writer.setPageMargins(
            QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
            QPageLayout::Millimeter);
        writer.setTitle(Text(QStringLiteral("1300::Test report")));
        writer.setCreator(QStringLiteral("orvex"));

        std::vector<QImage> pictures;
        QTextDocument document;
        const QString html = Html(false, pictures);
        for (size_t i = 0; i < pictures.size(); ++i) {
            document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("margin-%1").arg(i)),
                                 QVariant(pictures[i]));
        }
        QFont font = document.defaultFont();
        font.setPointSize(kFontPoints);
        document.setDefaultFont(font);
        // A word wider than its column widens the column rather than break ("Vorgabewe rt").
        QTextOption option = document.defaultTextOption();
        option.setWrapMode(QTextOption::WordWrap);
        document.setDefaultTextOption(option);
        document.setHtml(html);
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        const QSizeF body(area.width(), area.height() - kFooterHeight);
        document.setPageSize(body);
        HostPageBreaks::KeepWithNext(document);

        QPainter painter;
        if (!painter.begin(&writer)) {
            throw ComError(kErrReport, kSource, QStringLiteral("%1: the PDF could not be started").arg(path));
        }
        const int pages = document.pageCount();
        for (int i = 0; i < pages; ++i) {
            if (i > 0) writer.newPage();
            painter.save();
            painter.translate(0, -i * body.height());
            document.drawContents(&painter, QRectF(0, i * body.height(), body.width(), body.height()));
            painter.restore();
            painter.drawText(QRectF(0, body.height(), body.width(), kFooterHeight),
                             Qt::AlignRight | Qt::AlignBottom,
                             Text(QStringLiteral("1320::Page %%1 of %%2"),
                                  {QString::number(i + 1), QString::number(pages)}));
        }
        painter.end();
    }
    HostAtomicFile::Write(path, pdf, kSource);
}

}  // namespace orvex
