#include "Registry.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
Registry::~Registry() = default;

}  // namespace orvex
