#include "ISetup.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ISetup::~ISetup() = default;

}  // namespace orvex
