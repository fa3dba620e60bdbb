#include "TestElementList.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestElementList::~TestElementList() = default;

}  // namespace orvex
