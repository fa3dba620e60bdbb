#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The log of a sequence file's load: what each record noticed while it read its element. Records
// open a group for their element, add coded entries to the innermost open group and close it again.
// Captions and entry texts may be language literals of the group's plug-in.
class ORVEX_HOSTAPI_EXPORT LoadLog : public virtual IUnknown {
public:
    static constexpr int32_t kSeverityWarning = 1;
    static constexpr int32_t kSeverityError = 2;

    ~LoadLog() override;

    virtual void OpenGroup(const QString& plugInId, const QString& caption) = 0;
    // Closes the innermost open group; nothing happens when no group is open.
    virtual void CloseGroup() = 0;
    virtual void AddEntry(int32_t code, int32_t severity, const QString& text) = 0;
};

}  // namespace orvex
