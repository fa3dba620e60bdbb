#include "XTgButton.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTgButton::~XTgButton() = default;

}  // namespace orvex
