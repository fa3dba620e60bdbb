#include "HostControl.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
HostControl::~HostControl() = default;

}  // namespace orvex
