#include "XTestWizard.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTestWizard::~XTestWizard() = default;

}  // namespace orvex
