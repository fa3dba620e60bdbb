#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "InstrumentInfo.h"

namespace orvex {

// The host's list of instruments and the serial ports assigned to them.
class ORVEX_HOSTAPI_EXPORT InstrumentRegistry : public virtual IUnknown {
public:
    ~InstrumentRegistry() override;

    // The port assigned to the instrument; a number below 1 when none is. An empty serial
    // number matches any instrument of that name.
    virtual int32_t PortOf(const QString& name, const QString& serialNo) const = 0;
    // The information record of the instrument on the port (empty, found 0, when none).
    virtual InstrumentInfo InfoOf(int32_t port) const = 0;
};

}  // namespace orvex
