#include "ValueElements.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ValueElements::~ValueElements() = default;

}  // namespace orvex
