#include "TestGuideService.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestGuideService::~TestGuideService() = default;

}  // namespace orvex
