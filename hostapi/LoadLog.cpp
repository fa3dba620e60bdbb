#include "LoadLog.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
LoadLog::~LoadLog() = default;

}  // namespace orvex
