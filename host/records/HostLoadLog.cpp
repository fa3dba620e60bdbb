#include "HostLoadLog.h"

#include <utility>

#include "host/platform/HostLanguageService.h"

namespace orvex {

HostLoadLog::HostLoadLog(std::shared_ptr<LanguageService> language) : m_language(std::move(language)) {}

void HostLoadLog::OpenGroup(const QString& plugInId, const QString& caption) {
    if (m_groups.size() >= kMaxRecords) {
        ++m_dropped;
        m_open.push_back(kDroppedGroup);
        return;
    }
    const int32_t parent = m_open.empty() ? kNoGroup : m_open.back();
    m_groups.push_back({plugInId, Translate(plugInId, caption), parent == kDroppedGroup ? kNoGroup : parent});
    m_open.push_back(static_cast<int32_t>(m_groups.size() - 1));
}

void HostLoadLog::CloseGroup() {
    if (!m_open.empty()) m_open.pop_back();
}

void HostLoadLog::AddEntry(int32_t code, int32_t severity, const QString& text) {
    const int32_t group = m_open.empty() ? kNoGroup : m_open.back();
    if (group == kDroppedGroup || m_entries.size() >= kMaxRecords) {
        ++m_dropped;
        return;
    }
    const QString plugInId = group == kNoGroup ? QString() : m_groups[static_cast<size_t>(group)].plugInId;
    m_entries.push_back({group, code, severity, Translate(plugInId, text)});
}

// Only literals are looked up: other text may hold "::" or "%%1" of its own.
QString HostLoadLog::Translate(const QString& plugInId, const QString& text) const {
    if (!m_language || plugInId.isEmpty() || !HostLanguageService::IsLiteral(text)) return text;
    return m_language->GetText(plugInId, text, {});
}

}  // namespace orvex
