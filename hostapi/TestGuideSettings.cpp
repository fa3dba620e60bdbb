#include "TestGuideSettings.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
TestGuideSettings::~TestGuideSettings() = default;

}  // namespace orvex
