#include "Standard.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
Standard::~Standard() = default;

}  // namespace orvex
