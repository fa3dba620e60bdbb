#pragma once

#include <QString>
#include <cstdint>

#include "ComError.h"
#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The host's error channel for plug-ins. Both operations end the calling operation by throwing.
class ORVEX_HOSTAPI_EXPORT ErrorService : public virtual IUnknown {
public:
    ~ErrorService() override;

    // Raises the plug-in's error number with the host's text for it; category 1, 3 or 4.
    [[noreturn]] virtual void Raise(const QString& plugInId, int32_t number, const QString& source,
                                    int32_t category) = 0;
    // Hands on an error that an operation caught, under the operation's source name.
    [[noreturn]] virtual void ReportError(const ComError& error, const QString& source) = 0;
};

}  // namespace orvex
