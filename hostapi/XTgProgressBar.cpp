#include "XTgProgressBar.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTgProgressBar::~XTgProgressBar() = default;

}  // namespace orvex
