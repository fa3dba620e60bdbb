#pragma once

#include <QLoggingCategory>

#include "host/platform/HostExport.h"

namespace orvex {

// The failures the host passes over; debug messages show with --verbose or QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcHost)

// Shows the debug messages of the host and the driver (--verbose); QT_LOGGING_RULES still decides last.
ORVEX_HOST_EXPORT void EnableVerboseLogging();

// Qt's own notes that are no news to a technician (its SQL drivers' "QSqlQuery::exec: database not
// open" or "This version of PostgreSQL is not supported", QStandardPaths on the environment) go to
// the host's log, shown with --verbose, instead of the terminal. Every other message passes on.
ORVEX_HOST_EXPORT void QuietQtNotes();

}  // namespace orvex
