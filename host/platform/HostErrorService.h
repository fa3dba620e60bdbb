#pragma once

#include <QHash>

#include "host/platform/HostExport.h"
#include "hostapi/ErrorService.h"

namespace orvex {

// Turns a plug-in's error number into the error of the running call, with the host's text for it.
class ORVEX_HOST_EXPORT HostErrorService : public ErrorService {
public:
    HostErrorService();

    [[noreturn]] void Raise(const QString& plugInId, int32_t number, const QString& source,
                            int32_t category) override;
    [[noreturn]] void ReportError(const ComError& error, const QString& source) override;

    // The host's text for the number; "Error 0x8004A2FF in <source>" for a number it does not know.
    QString Text(int32_t number, const QString& source) const;

private:
    QHash<int32_t, QString> m_texts;
};

}  // namespace orvex
