#pragma once

#include <QLoggingCategory>

#include "host/platform/HostExport.h"

namespace orvex {

// The failures the host passes over; debug messages show with --verbose or QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcHost)

// Shows the debug messages of the host and the driver (--verbose); QT_LOGGING_RULES still decides last.
ORVEX_HOST_EXPORT void EnableVerboseLogging();

}  // namespace orvex
