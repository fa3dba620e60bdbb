#include "HostReportMarkup.h"

#include <algorithm>

namespace orvex {

namespace {

constexpr QChar kCellSeparator = QLatin1Char('|');
constexpr QChar kRowEnd = QLatin1Char(';');
constexpr QChar kEscape = QLatin1Char('\\');

bool IsEscapable(QChar c) {
    return c == kCellSeparator || c == kRowEnd || c == QLatin1Char('{') || c == QLatin1Char('}') ||
           c == kEscape;
}

// Pieces of text between separators; a trailing separator opens no further piece, an escaped one
// is text.
std::vector<QStringView> Split(QStringView text, QChar separator) {
    std::vector<QStringView> pieces;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == kEscape && at + 1 < text.size() && IsEscapable(text[at + 1])) {
            ++at;
        } else if (text[at] == separator) {
            pieces.push_back(text.mid(start, at - start));
            start = at + 1;
        }
    }
    if (start < text.size()) pieces.push_back(text.mid(start));
    return pieces;
}

QStringView WithoutLineBreaks(QStringView text) {
    auto isBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    while (!text.isEmpty() && isBreak(text.front())) text = text.mid(1);
    while (!text.isEmpty() && isBreak(text.back())) text.chop(1);
    return text;
}

}  // namespace

std::vector<HostReportMarkup::Column> HostReportMarkup::Columns(const QString& layout) {
    std::vector<Column> columns;
    QStringView text = WithoutLineBreaks(QStringView(layout).trimmed());
    if (text.endsWith(kRowEnd)) text.chop(1);
    for (QStringView piece : Split(text, kCellSeparator)) {
        Column column;
        qsizetype at = 0;
        for (; at < piece.size(); ++at) {
            const QChar mark = piece[at];
            if (mark == QLatin1Char('<')) {
                column.alignment = Alignment::Left;
            } else if (mark == QLatin1Char('>')) {
                column.alignment = Alignment::Right;
            } else if (mark == QLatin1Char('^')) {
                column.alignment = Alignment::Centre;
            } else if (mark == QLatin1Char('+')) {
                column.wraps = true;
            } else if (mark == QLatin1Char('!')) {
                column.ruled = true;
            } else {
                break;
            }
        }
        bool ok = false;
        const int width = piece.mid(at).trimmed().toInt(&ok);
        if (ok && width > 0) column.width = std::clamp(width, kMinimumWidth, kMaximumWidth);
        columns.push_back(column);
    }
    return columns;
}

std::vector<HostReportMarkup::Row> HostReportMarkup::Rows(const QString& text) {
    std::vector<Row> rows;
    for (QStringView line : Split(QStringView(text), kRowEnd)) {
        line = WithoutLineBreaks(line);
        if (line.isEmpty()) continue;
        Row row;
        // A cell list that ends in "|" still has its last, empty cell.
        const std::vector<QStringView> cells = Split(line, kCellSeparator);
        for (QStringView cell : cells) row.push_back(ReadCell(cell));
        if (line.endsWith(kCellSeparator)) row.emplace_back();
        rows.push_back(std::move(row));
    }
    return rows;
}

QString HostReportMarkup::Escape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (IsEscapable(c)) escaped += kEscape;
        escaped += c;
    }
    return escaped;
}

QString HostReportMarkup::PlainText(const Cell& cell) {
    QString text;
    for (const Span& span : cell) text += span.text;
    return text;
}

// Groups do not nest: a "{" inside a group, and a "}" outside one, are plain text.
HostReportMarkup::Cell HostReportMarkup::ReadCell(QStringView text) {
    Cell cell;
    Span current;
    auto flush = [&cell, &current] {
        if (!current.text.isEmpty()) cell.push_back(current);
        current.text.clear();
    };
    bool inGroup = false;
    qsizetype at = 0;
    while (at < text.size()) {
        const QChar c = text[at];
        if (c == kEscape && at + 1 < text.size() && IsEscapable(text[at + 1])) {
            current.text += text[at + 1];
            at += 2;
            continue;
        }
        if (!inGroup && c == QLatin1Char('{') && at + 1 < text.size() && text[at + 1] == QLatin1Char('\\')) {
            flush();
            inGroup = true;
            ++at;
            // Control words: "\i" italic, "\b" bold; one blank ends them.
            while (at + 1 < text.size() && text[at] == QLatin1Char('\\')) {
                const QChar word = text[at + 1];
                if (word == QLatin1Char('i')) current.italic = true;
                if (word == QLatin1Char('b')) current.bold = true;
                at += 2;
            }
            if (at < text.size() && text[at] == QLatin1Char(' ')) ++at;
            continue;
        }
        if (inGroup && c == QLatin1Char('}')) {
            flush();
            inGroup = false;
            current.bold = false;
            current.italic = false;
            ++at;
            continue;
        }
        current.text += c;
        ++at;
    }
    flush();
    return cell;
}

}  // namespace orvex
