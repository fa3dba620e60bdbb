#pragma once

#include <QString>
#include <QStringList>

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRunEnd.h"
#include "host/platform/HostExport.h"

namespace orvex {

class ComError;

// What the command line says of what the host reports: an error, a notice of a run's end, a visit
// archived. The window words the same events in its own dialogs.
class ORVEX_HOST_EXPORT HostConsoleText {
public:
    // The platform's own errors are small numbers; the plug-ins' are shown in hex as they are documented.
    static QString Error(const ComError& e);
    static QStringList Notice(const HostRunEnd::Notice& notice);
    static QString Stored(HostResultsDatabase::Stored stored, const QString& assetId,
                          const QString& location);
};

}  // namespace orvex
