#pragma once

#include <QLoggingCategory>

namespace korotka {

// The failures the driver passes over; debug messages show with --verbose or QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcDriver)

}  // namespace korotka
