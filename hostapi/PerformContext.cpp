#include "PerformContext.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
PerformContext::~PerformContext() = default;

}  // namespace orvex
