#include "HostApplication.h"

#include <QDir>
#include <QFileInfo>

namespace orvex {

QString HostApplication::PlugInFolder(const QString& plugInId) const {
    const auto it = m_folders.constFind(plugInId);
    if (it != m_folders.constEnd()) return it.value();
    // Without an application object Qt cannot name the program's folder; the kernel can.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

QString HostApplication::JoinPath(const QString& folder, const QString& name) const {
    if (folder.isEmpty()) return QDir::cleanPath(name);
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

QString HostApplication::Title() const { return QStringLiteral("Orvex"); }

void HostApplication::SetPlugInFolder(const QString& plugInId, const QString& folder) {
    m_folders.insert(plugInId, folder);
}

}  // namespace orvex
