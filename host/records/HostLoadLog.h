#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/LanguageService.h"
#include "hostapi/LoadLog.h"

namespace orvex {

// The host's load log ("OrvexTypeLib.LoadLog"): groups in the order they were opened, each with
// the group it was opened in, and entries in the order they were added. Literals are translated
// when they arrive, with the plug-in of their group, so the log holds what the technician reads.
class ORVEX_HOST_EXPORT HostLoadLog : public LoadLog {
public:
    static constexpr int32_t kNoGroup = -1;
    // A file can make a record log as often as it likes; beyond this many groups or entries the
    // log only counts what it leaves out.
    static constexpr size_t kMaxRecords = 100000;

    struct Group {
        QString plugInId;
        QString caption;
        int32_t parent;  // index into Groups(), kNoGroup at the top
    };
    struct Entry {
        int32_t group;  // index into Groups(), kNoGroup outside every group
        int32_t code;
        int32_t severity;
        QString text;
    };

    // Without a language service literals stay as they are.
    explicit HostLoadLog(std::shared_ptr<LanguageService> language);

    void OpenGroup(const QString& plugInId, const QString& caption) override;
    void CloseGroup() override;
    void AddEntry(int32_t code, int32_t severity, const QString& text) override;

    const std::vector<Group>& Groups() const { return m_groups; }
    const std::vector<Entry>& Entries() const { return m_entries; }
    // Groups and entries that were left out because the log was full.
    int64_t Dropped() const { return m_dropped; }
    // Groups opened and not yet closed.
    size_t OpenGroups() const { return m_open.size(); }

private:
    static constexpr int32_t kDroppedGroup = -2;

    QString Translate(const QString& plugInId, const QString& text) const;

    std::shared_ptr<LanguageService> m_language;
    std::vector<Group> m_groups;
    std::vector<Entry> m_entries;
    std::vector<int32_t> m_open;  // innermost last; kDroppedGroup for a group that was left out
    int64_t m_dropped = 0;
};

}  // namespace orvex
