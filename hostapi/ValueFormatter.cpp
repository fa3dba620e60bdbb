#include "ValueFormatter.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ValueFormatter::~ValueFormatter() = default;

}  // namespace orvex
