#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The host's descriptor of one instrument taking part in a run ("OrvexTypeLib.InstrumentData"):
// its identity as the driver read it, and where the host files it.
class ORVEX_HOSTAPI_EXPORT InstrumentData : public virtual IUnknown {
public:
    ~InstrumentData() override;

    virtual QString MTIName() const = 0;
    virtual QString SerialNo() const = 0;
    virtual QString FWVersion() const = 0;
    virtual void SetIdentity(const QString& name, const QString& serialNo, const QString& fwVersion) = 0;
    // The instrument's name with the host's type number for it.
    virtual void SetType(const QString& name, int32_t typeNumber) = 0;
    virtual int32_t TypeNumber() const = 0;

    virtual QString PlugInID() const = 0;
    virtual void SetPlugInID(const QString& plugInId) = 0;
    virtual int32_t Index() const = 0;
    virtual void SetIndex(int32_t index) = 0;
};

}  // namespace orvex
