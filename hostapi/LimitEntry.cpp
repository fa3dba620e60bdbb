#include "LimitEntry.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
LimitEntry::~LimitEntry() = default;

}  // namespace orvex
