#include "HostInstrumentRegistry.h"

#include <QSettings>

#include "host/platform/HostSettingsFile.h"

namespace orvex {

int32_t HostInstrumentRegistry::PortOf(const QString& name, const QString& serialNo) const {
    for (auto it = m_byPort.cbegin(); it != m_byPort.cend(); ++it) {
        if (it->name == name && (serialNo.isEmpty() || it->serialNo == serialNo)) return it.key();
    }
    return 0;
}

InstrumentInfo HostInstrumentRegistry::InfoOf(int32_t port) const { return m_byPort.value(port); }

void HostInstrumentRegistry::Assign(int32_t port, const InstrumentInfo& info) {
    InstrumentInfo record = info;
    record.found = 1;
    m_byPort.insert(port, record);
}

void HostInstrumentRegistry::Release(const QString& name) {
    m_byPort.removeIf([&name](const auto& entry) { return entry.value().name == name; });
}

void HostInstrumentRegistry::Load(QSettings& settings) {
    settings.beginGroup(QStringLiteral("Instruments"));
    for (const int32_t port : HostSettingsFile::PortNumbers(settings.childGroups())) {
        settings.beginGroup(QString::number(port));
        const QString name = settings.value(QStringLiteral("Name")).toString();
        if (!name.isEmpty()) {
            Assign(port, {name, settings.value(QStringLiteral("SerialNo")).toString(),
                          settings.value(QStringLiteral("FWVersion")).toString(), 1});
        }
        settings.endGroup();
    }
    settings.endGroup();
}

}  // namespace orvex
