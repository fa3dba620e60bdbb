#include "TestElementInfo.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestElementInfo::~TestElementInfo() = default;

}  // namespace orvex
