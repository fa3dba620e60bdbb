#include "IResultData.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IResultData::~IResultData() = default;

}  // namespace orvex
