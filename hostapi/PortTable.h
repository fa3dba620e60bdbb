#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The host's serial ports: a port number (1, 2, ...) stands for a device path such as
// /dev/ttyUSB0, a pseudo-terminal or /dev/serial/by-id/...
class ORVEX_HOSTAPI_EXPORT PortTable : public virtual IUnknown {
public:
    ~PortTable() override;
    // Empty when no device is known under the number.
    virtual QString DevicePath(int32_t port) const = 0;
};

}  // namespace orvex
