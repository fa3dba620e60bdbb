#include "ILimitData.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ILimitData::~ILimitData() = default;

}  // namespace orvex
