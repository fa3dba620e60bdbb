#include "ControlCallBack.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ControlCallBack::~ControlCallBack() = default;

}  // namespace orvex
