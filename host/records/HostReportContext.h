#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/LanguageService.h"
#include "hostapi/ReportContext.h"

namespace orvex {

// The host's report under construction ("OrvexTypeLib.ReportContext"): it collects the tables the
// records add, each with the layout that was set when it was added, and renders them.
class ORVEX_HOST_EXPORT HostReportContext : public ReportContext {
public:
    // A4 less two margins of one inch, near enough.
    static constexpr int32_t kDefaultTableWidth = 9000;
    static constexpr int32_t kDefaultFontSize = 10;

    struct Table {
        QString title;
        QString columns;
        QString rows;
        int32_t fontSize;
        bool bold;
        bool keepTogether;
        bool framed;
        bool shadedTitle;
        bool pageBreak;
    };

    // The language the report is printed in; without one, literals stay as they are.
    explicit HostReportContext(std::shared_ptr<LanguageService> language);

    QString GetText(const QString& plugInId, const QString& literal) override;
    int32_t Width(int32_t item) const override;
    void SetTableWidth(int32_t twips) { m_tableWidth = twips; }
    int32_t Options() const override { return m_options; }
    void SetOptions(int32_t options) { m_options = options; }

    void SetFontSize(int32_t points) override { m_fontSize = points; }
    void SetBold(bool bold) override { m_bold = bold; }
    void SetKeepTogether(bool keepTogether) override { m_keepTogether = keepTogether; }
    void PrintTable(const QString& title, const QString& columns, const QString& rows, bool framed,
                    bool shadedTitle, bool pageBreak) override;

    const std::vector<Table>& Tables() const { return m_tables; }

    // A text the records wrote with their decimal points, its numbers as the report's language
    // writes them (150,0 mmHg in German); "v1.2" or "01:00" stays as it is.
    static QString ShownNumbers(const QString& text);

    // The collected tables as plain text: columns padded to their widths, a dashed line under a
    // shaded title, "=" lines around a framed table, a form feed for a page break.
    QString ToText() const;
    // The style sheet the tables' HTML expects.
    static inline const QString kTableStyle = QStringLiteral(
        "table{border-collapse:collapse;margin-bottom:12pt;table-layout:fixed}"
        "td{padding:1pt 4pt;vertical-align:top;overflow:hidden}");

    // The collected tables as one HTML document.
    QString ToHtml() const;
    // The collected tables as HTML to place in a document's body.
    QString TablesHtml() const;

private:
    std::shared_ptr<LanguageService> m_language;
    int32_t m_tableWidth = kDefaultTableWidth;
    int32_t m_options = 0;
    int32_t m_fontSize = kDefaultFontSize;
    bool m_bold = false;
    bool m_keepTogether = false;
    std::vector<Table> m_tables;
};

}  // namespace orvex
