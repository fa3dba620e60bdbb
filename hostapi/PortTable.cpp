#include "PortTable.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
PortTable::~PortTable() = default;

}  // namespace orvex
