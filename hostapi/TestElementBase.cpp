#include "TestElementBase.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestElementBase::~TestElementBase() = default;

}  // namespace orvex
