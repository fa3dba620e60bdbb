#include "HostPortTable.h"

#include <QSettings>

#include "host/platform/HostSettingsFile.h"

namespace orvex {

QString HostPortTable::DevicePath(int32_t port) const { return m_devices.value(port); }

void HostPortTable::Assign(int32_t port, const QString& devicePath) { m_devices.insert(port, devicePath); }

int32_t HostPortTable::PortOf(const QString& devicePath) {
    int32_t free = 1;
    for (auto it = m_devices.cbegin(); it != m_devices.cend(); ++it) {
        if (it.value() == devicePath) return it.key();
        if (it.key() == free) ++free;
    }
    m_devices.insert(free, devicePath);
    return free;
}

void HostPortTable::Remove(int32_t port) { m_devices.remove(port); }

void HostPortTable::Load(QSettings& settings) {
    settings.beginGroup(QStringLiteral("Ports"));
    for (const int32_t port : HostSettingsFile::PortNumbers(settings.childKeys())) {
        const QString path = settings.value(QString::number(port)).toString();
        if (!path.isEmpty()) Assign(port, path);
    }
    settings.endGroup();
}

}  // namespace orvex
