#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The report under construction. Records add tables written in the report markup: "|" separates
// cells, ";" ends a row, "{\i\b text}" is bold italic text. A column layout lists the columns the
// same way, each as its alignment marks followed by its width in twips.
class ORVEX_HOSTAPI_EXPORT ReportContext : public virtual IUnknown {
public:
    // The item of Width that is the width of a table, in twips.
    static constexpr int32_t kTableWidth = 10;
    // Option bit: the report shows only what failed.
    static constexpr int32_t kFailedOnly = 16;

    ~ReportContext() override;

    // The report's own translation of a language literal: a report may be printed in another
    // language than the one the technician works in.
    virtual QString GetText(const QString& plugInId, const QString& literal) = 0;
    // A width of the report's layout in twips; 0 for an item the report does not know.
    virtual int32_t Width(int32_t item) const = 0;
    // The option bits the report is printed with.
    virtual int32_t Options() const = 0;

    // The layout of the tables added from now on.
    virtual void SetFontSize(int32_t points) = 0;
    virtual void SetBold(bool bold) = 0;
    virtual void SetKeepTogether(bool keepTogether) = 0;

    // Adds a table: a title row, the column layout and the rows. The three options ask for a frame
    // around the table, a shaded title row and a page break before the table.
    virtual void PrintTable(const QString& title, const QString& columns, const QString& rows, bool framed,
                            bool shadedTitle, bool pageBreak) = 0;
};

}  // namespace orvex
