#include "HostPlugInLoader.h"

#include <dlfcn.h>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <exception>
#include <utility>

#include "host/platform/HostApplication.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"

namespace orvex {

namespace {
const QString kSource = QStringLiteral("OrvexTypeLib.PlugInLoader");
}

HostPlugInLoader::HostPlugInLoader(std::shared_ptr<HostApplication> application)
    : m_application(std::move(application)) {}

void HostPlugInLoader::Load(const QString& plugInId, const QString& libraryPath,
                            const QString& registerFunction) {
    const QString functionName =
        registerFunction.isEmpty() ? RegisterFunctionName(libraryPath) : registerFunction;
    // Never unloaded: QLibrary's destructor leaves the library in place.
    QLibrary library(libraryPath);
    if (!library.load()) {
        throw ComError(kErrLibraryNotLoaded, kSource,
                       QStringLiteral("The plug-in library %1 cannot be loaded: %2")
                           .arg(libraryPath, library.errorString()));
    }
    const auto registerClasses = reinterpret_cast<ComponentRegistry::RegisterFunction>(
        library.resolve(functionName.toLatin1().constData()));
    if (!registerClasses) {
        throw ComError(kErrEntryPointNotFound, kSource,
                       QStringLiteral("The plug-in library %1 has no function %2: %3")
                           .arg(libraryPath, functionName, library.errorString()));
    }
    try {
        registerClasses(ComponentRegistry::Instance());
    } catch (const ComError&) {
        throw;
    } catch (const std::exception& e) {
        throw ComError(kErrLibraryNotLoaded, kSource,
                       QStringLiteral("The plug-in library %1 failed to register its classes: %2")
                           .arg(libraryPath, QString::fromLocal8Bit(e.what())));
    }
    // The file the dynamic loader actually chose, wherever it searched for the name given.
    Dl_info where{};
    const bool found = dladdr(reinterpret_cast<void*>(registerClasses), &where) != 0 && where.dli_fname;
    const QString file = found ? QFile::decodeName(where.dli_fname) : library.fileName();
    m_application->SetPlugInFolder(plugInId, QFileInfo(file).canonicalPath());
}

QString HostPlugInLoader::RegisterFunctionName(const QString& libraryPath) {
    QString base = QFileInfo(libraryPath).baseName();
    if (base.startsWith(QLatin1String("lib"))) base.remove(0, 3);
    return base + QStringLiteral("_RegisterClasses");
}

}  // namespace orvex
