#include "XTgStatusIndicator.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XTgStatusIndicator::~XTgStatusIndicator() = default;

}  // namespace orvex
