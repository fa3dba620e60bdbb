#include "IConfigData.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IConfigData::~IConfigData() = default;

}  // namespace orvex
