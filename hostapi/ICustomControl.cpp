#include "ICustomControl.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ICustomControl::~ICustomControl() = default;

}  // namespace orvex
