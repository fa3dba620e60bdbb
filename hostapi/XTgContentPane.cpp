#include "XTgContentPane.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTgContentPane::~XTgContentPane() = default;

}  // namespace orvex
