#include "PlugInLog.h"

namespace korotka {

Q_LOGGING_CATEGORY(lcPlugIn, "korotka.plugin", QtWarningMsg)

}  // namespace korotka
