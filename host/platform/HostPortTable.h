#pragma once

#include <QMap>
#include <QString>

#include "host/platform/HostExport.h"
#include "hostapi/PortTable.h"

class QSettings;

namespace orvex {

// The host's port numbers and the devices behind them. Settings layout: group "Ports" with
// "<number>=<device path>".
class ORVEX_HOST_EXPORT HostPortTable : public PortTable {
public:
    QString DevicePath(int32_t port) const override;

    void Assign(int32_t port, const QString& devicePath);
    // The number under which the device is known, or the lowest free number from 1 on.
    int32_t PortOf(const QString& devicePath);
    void Remove(int32_t port);
    void Load(QSettings& settings);

private:
    QMap<int32_t, QString> m_devices;
};

}  // namespace orvex
