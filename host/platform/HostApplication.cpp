#include "HostApplication.h"

#include <QDir>
#include <QFileInfo>

#include "host/platform/HostInstallation.h"
#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/ISetup.h"
#include "hostapi/PropertyBag.h"
#include "hostapi/Registry.h"

namespace orvex {

QString HostApplication::PlugInFolder(const QString& plugInId) const {
    const auto it = m_folders.constFind(plugInId);
    if (it != m_folders.constEnd()) return it.value();
    return HostInstallation::ProgramFolder();
}

QString HostApplication::JoinPath(const QString& folder, const QString& name) const {
    if (folder.isEmpty()) return QDir::cleanPath(name);
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

QString HostApplication::Title() const { return QStringLiteral("Orvex"); }

void HostApplication::SetPlugInFolder(const QString& plugInId, const QString& folder) {
    m_folders.insert(plugInId, folder);
}

QString HostApplication::LanguageFolder(const QString& plugInId, const QString& setupClass) const {
    QString byDefault = JoinPath(PlugInFolder(plugInId), QStringLiteral("Language"));
    try {
        const auto setup = ComponentRegistry::Instance().CreateAs<ISetup>(setupClass);
        setup->RegLoad(Registry::kHkeyLocalMachine, QStringLiteral("Software\\Marrick\\Orvex\\") + plugInId);
        PropertyBag bag;
        if (bag.SetContents(setup->Settings())) return bag.ReadProperty(QStringLiteral("lngpath"), byDefault);
        qCWarning(lcHost, "the settings of %s are no property bag", qUtf8Printable(setupClass));
    } catch (const ComError& error) {
        qCWarning(lcHost, "the setup of %s could not be read: %s", qUtf8Printable(plugInId), error.what());
    }
    return byDefault;
}

}  // namespace orvex
