#include "XTgToolbar.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTgToolbar::~XTgToolbar() = default;

}  // namespace orvex
