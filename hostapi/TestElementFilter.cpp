#include "TestElementFilter.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestElementFilter::~TestElementFilter() = default;

}  // namespace orvex
