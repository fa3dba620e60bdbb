#include "DriverLog.h"

namespace korotka {

Q_LOGGING_CATEGORY(lcDriver, "korotka.driver", QtWarningMsg)

}  // namespace korotka
