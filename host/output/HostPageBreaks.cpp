#include "HostPageBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace orvex {

namespace {

// Paragraphs after a heading that keep with it when no table follows soon.
constexpr int kParagraphsKept = 3;

struct Span {
    double top = 0;
    double bottom = 0;
};

QRectF Rect(QTextDocument& document, const QTextBlock& block) {
    return document.documentLayout()->blockBoundingRect(block);
}

QTextTable* TableOf(const QTextBlock& block) { return QTextCursor(block).currentTable(); }

int TitleRows(const QTextTable& table) {
    return std::clamp(table.format().headerRowCount(), 0, table.rows());
}

// From the top of a table's first row to the bottom of the row after its title rows (of its
// last row when it has no other).
Span FirstRows(QTextDocument& document, const QTextTable& table) {
    Span span{std::numeric_limits<double>::max(), 0};
    const int last = std::min(TitleRows(table), table.rows() - 1);
    for (int row = 0; row <= last; ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (!cell.isValid()) continue;
            span.top = std::min(span.top, Rect(document, cell.firstCursorPosition().block()).top());
            span.bottom = std::max(span.bottom, Rect(document, cell.lastCursorPosition().block()).bottom());
        }
    }
    return span;
}

// A heading and what follows it: the headings after it, up to a few paragraphs, and the first
// rows of the table that comes before more paragraphs do.
Span HeadingSpan(QTextDocument& document, const QTextBlock& heading) {
    const QRectF own = Rect(document, heading);
    Span span{own.top(), own.bottom()};
    int paragraphs = 0;
    for (QTextBlock block = heading.next(); block.isValid(); block = block.next()) {
        if (const QTextTable* table = TableOf(block)) {
            span.bottom = std::max(span.bottom, FirstRows(document, *table).bottom);
            break;
        }
        if (block.text().trimmed().isEmpty()) continue;
        span.bottom = std::max(span.bottom, Rect(document, block).bottom());
        if (block.blockFormat().headingLevel() == 0 && ++paragraphs == kParagraphsKept) break;
    }
    return span;
}

// The headings of the document's body, in its order. A table keeps its own title rows with its
// first row.
std::vector<QTextBlock> Headings(const QTextDocument& document) {
    std::vector<QTextBlock> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && TableOf(block) == nullptr) headings.push_back(block);
    }
    return headings;
}

bool Split(const Span& span, double pageHeight) {
    // Half a pixel: a span that ends on the page's edge still lies on that page.
    return std::floor(span.top / pageHeight) != std::floor((span.bottom - 0.5) / pageHeight);
}

bool BreaksBefore(const QTextBlock& heading) {
    return (heading.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) != 0;
}

// The layout redoes only the changed block and shifts the rest down as it stood, pages and all:
// everything after the heading is laid out afresh, so what is judged next stands where it will be
// drawn, and each page draws whole.
void SetBreakBefore(QTextDocument& document, const QTextBlock& heading, bool breaks) {
    QTextBlockFormat format = heading.blockFormat();
    format.setPageBreakPolicy(breaks ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
    QTextCursor(heading).setBlockFormat(format);
    document.markContentsDirty(heading.position(), document.characterCount() - heading.position());
}

}  // namespace

int HostPageBreaks::KeepWithNext(QTextDocument& document) {
    const double pageHeight = document.pageSize().height();
    if (!(pageHeight > 0)) return 0;
    int moved = 0;
    // In the document's order: a move shifts only what comes after it, which is judged later.
    for (const QTextBlock& heading : Headings(document)) {
        if (BreaksBefore(heading) || !Split(HeadingSpan(document, heading), pageHeight)) continue;
        SetBreakBefore(document, heading, true);
        // Lines that do not fit on one page are split wherever they start: a blank page gains nothing.
        if (Split(HeadingSpan(document, heading), pageHeight)) {
            SetBreakBefore(document, heading, false);
        } else {
            ++moved;
        }
    }
    return moved;
}

}  // namespace orvex
