#include "XTestGuideSettings.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTestGuideSettings::~XTestGuideSettings() = default;

}  // namespace orvex
