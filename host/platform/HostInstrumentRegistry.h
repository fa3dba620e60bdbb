#pragma once

#include <QMap>

#include "host/platform/HostExport.h"
#include "hostapi/InstrumentRegistry.h"

class QSettings;

namespace orvex {

// Which instrument is on which port, as the technician registered them. Settings layout:
// group "Instruments", one sub-group per port number with "Name", "SerialNo", "FWVersion".
class ORVEX_HOST_EXPORT HostInstrumentRegistry : public InstrumentRegistry {
public:
    int32_t PortOf(const QString& name, const QString& serialNo) const override;
    InstrumentInfo InfoOf(int32_t port) const override;

    void Assign(int32_t port, const InstrumentInfo& info);
    // Forgets every port the instrument of that name was on.
    void Release(const QString& name);
    void Load(QSettings& settings);

private:
    QMap<int32_t, InstrumentInfo> m_byPort;
};

}  // namespace orvex
