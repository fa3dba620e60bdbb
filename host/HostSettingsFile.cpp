#include "HostSettingsFile.h"

#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace orvex {

namespace {
constexpr int32_t kMaxPort = 255;
}

QString HostSettingsFile::Path() {
    const QString fromEnvironment = qEnvironmentVariable("ORVEX_REGISTRY");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Orvex/Registry.ini");
}

std::unique_ptr<QSettings> HostSettingsFile::Open() {
    return std::make_unique<QSettings>(Path(), QSettings::IniFormat);
}

QList<int32_t> HostSettingsFile::PortNumbers(const QStringList& keys) {
    QList<int32_t> ports;
    for (const QString& key : keys) {
        bool ok = false;
        const int port = key.toInt(&ok);
        if (ok && port >= 1 && port <= kMaxPort && !ports.contains(port)) ports.append(port);
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

}  // namespace orvex
