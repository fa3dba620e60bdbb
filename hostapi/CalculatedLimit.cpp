#include "CalculatedLimit.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
CalculatedLimit::~CalculatedLimit() = default;

}  // namespace orvex
