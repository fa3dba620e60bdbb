#include "ErrorService.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ErrorService::~ErrorService() = default;

}  // namespace orvex
