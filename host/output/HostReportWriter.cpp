#include "HostReportWriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>
#include <utility>

#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostVisitRecord.h"
#include "host/output/HostMarginPicture.h"
#include "host/output/HostTrendPicture.h"
#include "host/platform/HostAtomicFile.h"
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

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexHost.ReportWriter");
// Pixels at 96 dpi: the unit the report tables are laid out in.
constexpr int kResolution = 96;
constexpr double kMarginMillimetres = 15.0;
constexpr int kFooterHeight = 28;
constexpr int kFontPoints = 9;
// The PDF's layout reads padding given side by side only.
const QString kPrintStyle = QStringLiteral("td{padding-left:4px;padding-right:4px}");

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString When(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

const QString kReadingsHead = QStringLiteral(
    "<p><b>Readings against their limits</b></p>\n"
    "<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\" style=\"border-collapse:collapse\">\n"
    "<tr style=\"background:#d9d9d9\"><td><b>Reading</b></td><td><b>Value</b></td>"
    "<td><b>Standard</b></td><td><b>Low</b></td><td><b>High</b></td><td><b>Where it lies</b></td>"
    "<td></td></tr>\n");

// A test's status word or the overall verdict, in its colour.
QString VerdictHtml(const QString& word) {
    const auto is = [&word](const char* other) {
        return word.compare(QLatin1String(other), Qt::CaseInsensitive) == 0;
    };
    const QString colour = is("passed")   ? QStringLiteral("#1a7a1a")
                           : is("failed") ? QStringLiteral("#c00000")
                                          : QStringLiteral("#8a6d00");
    return QStringLiteral("<b style=\"color:%1\">%2</b>").arg(colour, Escaped(word));
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
    const QString tag = QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
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

}  // namespace

HostReportWriter::HostReportWriter(const HostSequence& sequence, std::shared_ptr<LanguageService> language)
    : m_sequence(sequence), m_language(std::move(language)) {}

std::optional<QString> HostReportWriter::ReadHistory(const QString& url) {
    const HostVisitRecord visit = HostVisitRecord::FromSequence(m_sequence);
    if (visit.assetId.isEmpty() || visit.performed.isEmpty()) return std::nullopt;
    try {
        m_earlier =
            HostReadingTrend::Before(HostResultsDatabase(url).History(visit.assetId), visit.performed);
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
    QStringList instruments;
    for (const HostSequence::Instrument& instrument : m_sequence.Instruments()) {
        const auto known = [](const QString& text) {
            return text.isEmpty() ? QStringLiteral("not recorded") : text;
        };
        instruments << Escaped(
            QStringLiteral("%1, serial number %2, firmware %3")
                .arg(instrument.name, known(instrument.serialNo), known(instrument.fwVersion)));
    }
    QString html = QStringLiteral("<h1>Test report</h1>\n<table cellpadding=\"3\" cellspacing=\"0\">\n");
    html += HeaderRow(QStringLiteral("Asset ID"), Escaped(asset.id));
    html += HeaderRow(QStringLiteral("Make and model"), Escaped(asset.makeModel));
    html += HeaderRow(QStringLiteral("Serial number"), Escaped(asset.serialNo));
    html += HeaderRow(QStringLiteral("Location"), Escaped(asset.location));
    html += HeaderRow(QStringLiteral("Technician"), Escaped(m_sequence.Technician()));
    html += HeaderRow(QStringLiteral("Tested"), Escaped(When(performed)));
    html += HeaderRow(QStringLiteral("Report made"), Escaped(When(QDateTime::currentDateTime())));
    html += HeaderRow(QStringLiteral("Instrument"), instruments.isEmpty()
                                                        ? QStringLiteral("not recorded")
                                                        : instruments.join(QStringLiteral("<br>")));
    html += HeaderRow(QStringLiteral("Overall verdict"),
                      VerdictHtml(HostVerdict::Word(HostVerdict::Of(m_sequence))));
    html += QStringLiteral("</table>\n");
    return html;
}

QString HostReportWriter::TrendRow(qsizetype position, IMeasurement& measurement, double number,
                                   const HostMeasurementLimits::Limits& limits, bool embedPictures,
                                   std::vector<QImage>& pictures) const {
    const auto element = m_sequence.Tests()[position];
    const auto earlier = HostReadingTrend::Of(
        m_earlier, {element->TestID(), static_cast<int>(position + 1), measurement.Key(), {}, {}, {}});
    if (earlier.isEmpty()) return {};
    QList<double> values;
    // The last of them is this visit's own reading.
    for (qsizetype i = std::max<qsizetype>(0, earlier.size() - (HostReadingTrend::kVisits - 1));
         i < earlier.size(); ++i)
        values << earlier[i].value;
    values << number;
    const QString since =
        When(QDateTime::fromString(earlier[earlier.size() - (values.size() - 1)].performed, Qt::ISODate))
            .left(10);
    // Under the reading, beside where it lies now: a row of its own keeps the columns readable.
    return QStringLiteral(
               "<tr><td colspan=\"5\" align=\"right\">Over the last %1 visits, since %2</td>"
               "<td colspan=\"2\">%3</td></tr>\n")
        .arg(values.size())
        .arg(Escaped(since),
             Picture(HostTrendPicture::Draw(values, limits.low, limits.high),
                     QSize(HostTrendPicture::kWidth, HostTrendPicture::kHeight), embedPictures, pictures));
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
        const QString unit = measurement->Unit();
        for (const HostMeasurementLimits::Limits& limits :
             HostMeasurementLimits::Of(*element, *measurement)) {
            const QString drawn = Picture(HostMarginPicture::Draw(number, limits.low, limits.high),
                                          QSize(HostMarginPicture::kWidth, HostMarginPicture::kHeight),
                                          embedPictures, pictures);
            const bool within = HostMarginPicture::Within(number, limits.low, limits.high);
            rows += QStringLiteral(
                        "<tr><td>%1</td><td align=\"right\">%2</td><td>%3</td><td align=\"right\">%4</td>"
                        "<td align=\"right\">%5</td><td>%6</td><td>%7</td></tr>\n")
                        .arg(Escaped(measurement->Description().isEmpty() ? measurement->Key()
                                                                          : measurement->Description()),
                             Escaped(HostResultText::Shown(*measurement) + QLatin1Char(' ') + unit),
                             Escaped(limits.completeName),
                             limits.low ? Escaped(LimitText(*measurement, *limits.low))
                                        : QStringLiteral("&ndash;"),
                             limits.high ? Escaped(LimitText(*measurement, *limits.high))
                                         : QStringLiteral("&ndash;"),
                             drawn,
                             within ? QStringLiteral("within")
                                    : QStringLiteral("<b style=\"color:#c00000\">outside</b>"));
            rows += TrendRow(position, *measurement, number, limits, embedPictures, pictures);
        }
    }
    if (rows.isEmpty()) return {};
    return kReadingsHead + rows + QStringLiteral("</table>\n");
}

QString HostReportWriter::TestSection(qsizetype position, bool embedPictures,
                                      std::vector<QImage>& pictures) const {
    const auto element = m_sequence.Tests()[position];
    const auto info = element->Info();
    const auto result = element->Result();
    QString html = QStringLiteral("<h2>%1. %2</h2>\n<p>Status: %3")
                       .arg(position + 1)
                       .arg(Escaped(info ? info->Name() : QString()),
                            VerdictHtml(HostResultText::StatusWord(result ? result->Status() : 0)));
    const QDateTime performed = m_sequence.Performed(position).at;
    if (performed.isValid()) html += QStringLiteral(" &nbsp; Performed: ") + Escaped(When(performed));
    html += QStringLiteral("</p>\n");
    auto report = std::make_shared<HostReportContext>(m_language);
    try {
        element->PrintReport(report, std::make_shared<HostPrintJob>());
    } catch (const ComError& error) {
        // The rest of the report still stands; the reader sees what is missing and why.
        qCWarning(lcHost).noquote()
            << QStringLiteral("test %1 printed only part of its report:").arg(position + 1) << error.what();
        html += QStringLiteral("<p><b>Part of this test's report could not be printed: %1</b></p>\n")
                    .arg(Escaped(error.Description()));
    }
    html += report->TablesHtml();
    html += ReadingsTable(position, embedPictures, pictures);
    return html;
}

QString HostReportWriter::Html(bool embedPictures, std::vector<QImage>& pictures) const {
    QString html =
        QStringLiteral(
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Test report</title>\n<style>") +
        HostReportContext::kTableStyle + kPrintStyle +
        QStringLiteral("</style></head><body style=\"font-size:%1pt\">\n").arg(kFontPoints) + Header();
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
        writer.setTitle(QStringLiteral("Test report"));
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
        document.setHtml(html);
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        const QSizeF body(area.width(), area.height() - kFooterHeight);
        document.setPageSize(body);

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
                             QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages));
        }
        painter.end();
    }
    HostAtomicFile::Write(path, pdf, kSource);
}

}  // namespace orvex
