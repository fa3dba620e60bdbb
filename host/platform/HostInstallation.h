#pragma once

#include <QString>

#include "host/platform/HostExport.h"

namespace orvex {

// Where the program's parts lie, found from the program's own folder so that both a build folder
// and an installed tree (wherever it was unpacked) work: in a build the libraries are in ../lib and
// the host's texts in the program's Language folder; installed, the libraries (with the plug-in's
// shipped files beside them) are in ../lib/<multiarch>/orvex and the texts in ../share/orvex.
class ORVEX_HOST_EXPORT HostInstallation {
public:
    // The version the build, and so the package, carries.
    static QString Version();
    // The folder of the running program (read from the kernel: it needs no application object).
    static QString ProgramFolder();
    // The folder of the host's and the plug-in's libraries.
    static QString LibraryFolder();
    // The folder of the host's language files.
    static QString TextsFolder();
    // The procedures the package ships.
    static QString ProceduresFolder();
    // A user's base folder as the base directory rules have it: the variable (XDG_DATA_HOME,
    // XDG_STATE_HOME) when it is an absolute path, else the fallback under the home folder
    // (".local/share", ".local/state").
    static QString UserFolder(const char* variable, const QString& fallback);
};

}  // namespace orvex
