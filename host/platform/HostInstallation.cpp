#include "HostInstallation.h"

#include <QDir>
#include <QFileInfo>

namespace orvex {

namespace {

// An installed folder when the program lies in an installed tree, else the build's.
QString Either(const QString& installed, const QString& built) {
    const QString folder = QDir::cleanPath(HostInstallation::ProgramFolder() + QLatin1Char('/') + installed);
    return QFileInfo(folder).isDir()
               ? folder
               : QDir::cleanPath(HostInstallation::ProgramFolder() + QLatin1Char('/') + built);
}

}  // namespace

QString HostInstallation::Version() { return QStringLiteral(ORVEX_VERSION); }

QString HostInstallation::ProgramFolder() {
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

QString HostInstallation::LibraryFolder() {
    return Either(QStringLiteral("../" ORVEX_INSTALL_LIBDIR), QStringLiteral("../lib"));
}

QString HostInstallation::TextsFolder() {
    return Either(QStringLiteral("../" ORVEX_INSTALL_DATADIR "/Language"), QStringLiteral("Language"));
}

QString HostInstallation::ProceduresFolder() {
    return Either(QStringLiteral("../" ORVEX_INSTALL_DATADIR "/procedures"), QStringLiteral("procedures"));
}

QString HostInstallation::UserFolder(const char* variable, const QString& fallback) {
    const QString base = qEnvironmentVariable(variable);
    if (!base.isEmpty() && !QDir::isRelativePath(base)) return QDir::cleanPath(base);
    return QDir::homePath() + QLatin1Char('/') + fallback;
}

}  // namespace orvex
