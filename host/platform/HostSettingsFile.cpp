#include "HostSettingsFile.h"

#include <QSettings>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>

#include "host/platform/HostLog.h"

namespace orvex {

namespace {
constexpr int32_t kMaxPort = 255;
}

QString HostSettingsFile::Path() {
    QString fromEnvironment = qEnvironmentVariable("ORVEX_REGISTRY");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Orvex/Registry.ini");
}

std::unique_ptr<QSettings> HostSettingsFile::Open() {
    auto settings = std::make_unique<QSettings>(Path(), QSettings::IniFormat);
    // The host goes on with its defaults; whoever looks after the machine learns why, once.
    static std::atomic_bool warned = false;
    if (settings->status() != QSettings::NoError && !warned.exchange(true)) {
        qCWarning(lcHost, "the settings file %s cannot be read (%s); the defaults are used",
                  qUtf8Printable(settings->fileName()),
                  settings->status() == QSettings::AccessError ? "no access" : "not a settings file");
    }
    return settings;
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
