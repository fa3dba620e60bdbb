#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "host/platform/HostExport.h"

namespace orvex {

// Reads the report markup the records write: "|" separates cells, ";" ends a row, "{\i\b text}"
// sets text bold and italic; a column layout is "|"-separated columns, each its marks and its width
// in twips ("<" left, ">" right, "^" centred, "+" the text wraps within the width, "!" a rule
// before the column). A backslash makes the next "|", ";", "{", "}" or backslash plain text.
class ORVEX_HOST_EXPORT HostReportMarkup {
public:
    enum class Alignment { Left, Right, Centre };

    // Widths are kept within this range; a column without a readable width gets the default.
    static constexpr int32_t kMinimumWidth = 15;
    static constexpr int32_t kMaximumWidth = 20000;
    static constexpr int32_t kDefaultWidth = 1410;

    struct Column {
        Alignment alignment = Alignment::Left;
        int32_t width = kDefaultWidth;
        bool wraps = false;
        bool ruled = false;
    };

    struct Span {
        QString text;
        bool bold = false;
        bool italic = false;
    };

    using Cell = std::vector<Span>;
    using Row = std::vector<Cell>;

    static std::vector<Column> Columns(const QString& layout);
    // Empty rows (";;") are dropped.
    static std::vector<Row> Rows(const QString& text);
    static QString PlainText(const Cell& cell);
    // The text as markup that reads back as exactly that text, whatever separators it holds.
    static QString Escape(const QString& text);

private:
    static Cell ReadCell(QStringView text);
};

}  // namespace orvex
