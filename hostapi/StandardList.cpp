#include "StandardList.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
StandardList::~StandardList() = default;

}  // namespace orvex
