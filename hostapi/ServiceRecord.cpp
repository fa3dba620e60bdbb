#include "ServiceRecord.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ServiceRecord::~ServiceRecord() = default;

}  // namespace orvex
