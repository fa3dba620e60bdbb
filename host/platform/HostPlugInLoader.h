#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"

namespace orvex {

class HostApplication;

// Loads plug-in libraries. A library stays loaded for the life of the process: objects it
// created may be alive anywhere.
class ORVEX_HOST_EXPORT HostPlugInLoader {
public:
    // The library could not be loaded, or has no registration function of that name.
    static constexpr int32_t kErrLibraryNotLoaded = HostErrors::kLibraryNotLoaded;
    static constexpr int32_t kErrEntryPointNotFound = HostErrors::kEntryPointNotFound;

    explicit HostPlugInLoader(std::shared_ptr<HostApplication> application);

    // Loads the library, has it register its classes with the component registry and records its
    // folder as the plug-in's folder. Without a function name the library's own is used.
    void Load(const QString& plugInId, const QString& libraryPath, const QString& registerFunction = {});

    // "orvexKorotka_RegisterClasses" for ".../liborvexKorotka.so".
    static QString RegisterFunctionName(const QString& libraryPath);

private:
    std::shared_ptr<HostApplication> m_application;
};

}  // namespace orvex
