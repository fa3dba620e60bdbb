#include "HostReportContext.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "host/records/HostReportMarkup.h"

namespace orvex {

namespace {

using Markup = HostReportMarkup;

// Twips of one character of text output, near the average width at ten points.
constexpr int32_t kTwipsPerCharacter = 100;
constexpr int32_t kTwipsPerPixel = 15;
const QString kSeparator = QStringLiteral(" ");
const QString kRuledSeparator = QStringLiteral(" | ");

// The column of a cell; cells beyond the column list get the default column.
Markup::Column ColumnAt(const std::vector<Markup::Column>& columns, size_t index) {
    return index < columns.size() ? columns[index] : Markup::Column{};
}

size_t ColumnCount(const std::vector<Markup::Column>& columns, const std::vector<Markup::Row>& rows) {
    size_t count = columns.size();
    for (const Markup::Row& row : rows) count = std::max(count, row.size());
    return count;
}

int Characters(const Markup::Column& column) {
    return std::max(1, static_cast<int>(column.width / kTwipsPerCharacter));
}

// Words fitted into lines of at most width characters; a longer word is cut.
QStringList Wrap(const QString& text, int width) {
    QStringList lines;
    QString line;
    for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        while (word.size() > width) {
            if (!line.isEmpty()) {
                lines.push_back(line);
                line.clear();
            }
            lines.push_back(word.left(width));
            word.remove(0, width);
        }
        if (!word.isEmpty()) line += (line.isEmpty() ? QString() : kSeparator) + word;
    }
    if (!line.isEmpty() || lines.isEmpty()) lines.push_back(line);
    return lines;
}

QString Aligned(const QString& text, const Markup::Column& column) {
    const int width = Characters(column);
    const int room = std::max(0, width - static_cast<int>(text.size()));
    switch (column.alignment) {
        case Markup::Alignment::Right:
            return QString(room, QLatin1Char(' ')) + text;
        case Markup::Alignment::Centre:
            return QString(room / 2, QLatin1Char(' ')) + text + QString(room - room / 2, QLatin1Char(' '));
        case Markup::Alignment::Left:
            break;
    }
    return text + QString(room, QLatin1Char(' '));
}

int TextWidth(const std::vector<Markup::Column>& columns, size_t count) {
    int width = 0;
    for (size_t i = 0; i < count; ++i) {
        const Markup::Column column = ColumnAt(columns, i);
        if (i > 0) width += static_cast<int>((column.ruled ? kRuledSeparator : kSeparator).size());
        width += Characters(column);
    }
    return width;
}

// Only the row's own cells are written, so the output grows with the input, never with the
// widest row times the number of rows.
void AppendTextRow(QString& out, const Markup::Row& row, const std::vector<Markup::Column>& columns) {
    const size_t count = row.size();
    std::vector<QStringList> cells;
    qsizetype lines = 1;
    for (size_t i = 0; i < count; ++i) {
        const Markup::Column column = ColumnAt(columns, i);
        const QString text = HostReportContext::ShownNumbers(Markup::PlainText(row[i]));
        cells.push_back(column.wraps ? Wrap(text, Characters(column)) : QStringList{text});
        lines = std::max(lines, cells.back().size());
    }
    for (qsizetype line = 0; line < lines; ++line) {
        QString text;
        for (size_t i = 0; i < count; ++i) {
            const Markup::Column column = ColumnAt(columns, i);
            if (i > 0) text += column.ruled ? kRuledSeparator : kSeparator;
            text += Aligned(line < cells[i].size() ? cells[i][line] : QString(), column);
        }
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);
        out += text + QLatin1Char('\n');
    }
}

QString HtmlCell(const Markup::Cell& cell) {
    QString html;
    for (const Markup::Span& span : cell) {
        QString text = HostReportContext::ShownNumbers(span.text).toHtmlEscaped();
        if (span.italic) text = QStringLiteral("<i>") + text + QStringLiteral("</i>");
        if (span.bold) text = QStringLiteral("<b>") + text + QStringLiteral("</b>");
        html += text;
    }
    return html;
}

QString HtmlStyle(const Markup::Column& column, bool wraps) {
    QString style;
    switch (column.alignment) {
        case Markup::Alignment::Right:
            style = QStringLiteral("text-align:right");
            break;
        case Markup::Alignment::Centre:
            style = QStringLiteral("text-align:center");
            break;
        case Markup::Alignment::Left:
            style = QStringLiteral("text-align:left");
            break;
    }
    if (!column.wraps && !wraps) style += QStringLiteral(";white-space:nowrap");
    if (column.ruled) style += QStringLiteral(";border-left:1px solid black");
    return style;
}

// A title wraps in any column: a limit set's name, longer in German, would otherwise push the table
// past the page's edge. Every cell carries its column's width as an attribute: the PDF's layout
// reads neither a column group nor a width in a style, and without it a long title widened its own
// column and stood the headings beside it away from their values.
void AppendHtmlRows(QString& out, const std::vector<Markup::Row>& rows,
                    const std::vector<Markup::Column>& columns, const QString& rowStyle, bool title) {
    for (const Markup::Row& row : rows) {
        out +=
            rowStyle.isEmpty() ? QStringLiteral("<tr>") : QStringLiteral("<tr style=\"%1\">").arg(rowStyle);
        for (size_t i = 0; i < row.size(); ++i) {
            const Markup::Column column = ColumnAt(columns, i);
            out += QStringLiteral("<td width=\"%1\" style=\"%2\">%3</td>")
                       .arg(column.width / kTwipsPerPixel)
                       .arg(HtmlStyle(column, title), HtmlCell(row[i]));
        }
        out += QStringLiteral("</tr>\n");
    }
}

}  // namespace

// The records write their numbers with a point, as their files hold them; on paper they are the
// numbers of the report's language. Only a word that is a decimal number changes.
QString HostReportContext::ShownNumbers(const QString& text) {
    static const QRegularExpression number(QStringLiteral("(?<![\\w.,])([-+]?\\d+)\\.(\\d+)(?![\\w.,])"));
    const QString point = QLocale().decimalPoint();
    if (point == QLatin1String(".")) return text;
    QString shown = text;
    return shown.replace(number, QStringLiteral("\\1") + point + QStringLiteral("\\2"));
}

HostReportContext::HostReportContext(std::shared_ptr<LanguageService> language)
    : m_language(std::move(language)) {}

QString HostReportContext::GetText(const QString& plugInId, const QString& literal) {
    if (!m_language) return literal;
    return m_language->GetText(plugInId, literal, {});
}

int32_t HostReportContext::Width(int32_t item) const { return item == kTableWidth ? m_tableWidth : 0; }

void HostReportContext::PrintTable(const QString& title, const QString& columns, const QString& rows,
                                   bool framed, bool shadedTitle, bool pageBreak) {
    m_tables.push_back(
        {title, columns, rows, m_fontSize, m_bold, m_keepTogether, framed, shadedTitle, pageBreak});
}

QString HostReportContext::ToText() const {
    QString out;
    for (size_t t = 0; t < m_tables.size(); ++t) {
        const Table& table = m_tables[t];
        const std::vector<Markup::Column> columns = Markup::Columns(table.columns);
        const std::vector<Markup::Row> title = Markup::Rows(table.title);
        const std::vector<Markup::Row> rows = Markup::Rows(table.rows);
        const size_t count = std::max(ColumnCount(columns, title), ColumnCount(columns, rows));
        const int width = TextWidth(columns, count);
        if (t > 0) out += table.pageBreak ? QStringLiteral("\f") : QStringLiteral("\n");
        if (table.framed) out += QString(width, QLatin1Char('=')) + QLatin1Char('\n');
        for (const Markup::Row& row : title) AppendTextRow(out, row, columns);
        if (table.shadedTitle && !title.empty()) out += QString(width, QLatin1Char('-')) + QLatin1Char('\n');
        for (const Markup::Row& row : rows) AppendTextRow(out, row, columns);
        if (table.framed) out += QString(width, QLatin1Char('=')) + QLatin1Char('\n');
    }
    return out;
}

QString HostReportContext::ToHtml() const {
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Report</title>\n<style>") +
           kTableStyle + QStringLiteral("</style></head><body>\n") + TablesHtml() +
           QStringLiteral("</body></html>\n");
}

QString HostReportContext::TablesHtml() const {
    QString out;
    for (const Table& table : m_tables) {
        const std::vector<Markup::Column> columns = Markup::Columns(table.columns);
        int64_t twips = 0;
        for (const Markup::Column& column : columns) twips += column.width;
        QString style =
            QStringLiteral("width:%1px;font-size:%2pt").arg(twips / kTwipsPerPixel).arg(table.fontSize);
        if (table.bold) style += QStringLiteral(";font-weight:bold");
        if (table.framed) style += QStringLiteral(";border:1px solid black");
        if (table.pageBreak) style += QStringLiteral(";page-break-before:always");
        if (table.keepTogether) style += QStringLiteral(";page-break-inside:avoid");
        out += QStringLiteral("<table width=\"%1\" style=\"%2\">\n<colgroup>")
                   .arg(twips / kTwipsPerPixel)
                   .arg(style);
        for (const Markup::Column& column : columns) {
            out += QStringLiteral("<col style=\"width:%1px\">").arg(column.width / kTwipsPerPixel);
        }
        out += QStringLiteral("</colgroup>\n<thead>\n");
        AppendHtmlRows(out, Markup::Rows(table.title), columns,
                       table.shadedTitle ? QStringLiteral("background:#d9d9d9") : QString(), true);
        out += QStringLiteral("</thead>\n<tbody>\n");
        AppendHtmlRows(out, Markup::Rows(table.rows), columns, QString(), false);
        out += QStringLiteral("</tbody></table>\n");
    }
    return out;
}

}  // namespace orvex
