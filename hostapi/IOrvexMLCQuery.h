#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "InstrumentInfo.h"
#include "Variant.h"

namespace orvex {

// Through this the host probes a serial port for an instrument of a plug-in and learns its identity.
class ORVEX_HOSTAPI_EXPORT IOrvexMLCQuery : public virtual IUnknown {
public:
    ~IOrvexMLCQuery() override;

    virtual Variant MtiType() const = 0;
    virtual QString SerialNo() const = 0;
    virtual QString FWVersion() const = 0;
    virtual InstrumentInfo QueryMTI(int32_t iPort) = 0;
};

}  // namespace orvex
