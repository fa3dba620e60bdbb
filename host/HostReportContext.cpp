#include "HostReportContext.h"

#include <utility>

namespace orvex {

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

}  // namespace orvex
