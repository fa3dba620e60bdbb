#include "HostLog.h"

namespace orvex {

Q_LOGGING_CATEGORY(lcHost, "orvex.host", QtWarningMsg)

void EnableVerboseLogging() {
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.*.debug=true\nkorotka.*.debug=true"));
}

}  // namespace orvex
