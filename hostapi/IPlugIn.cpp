#include "IPlugIn.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IPlugIn::~IPlugIn() = default;

}  // namespace orvex
