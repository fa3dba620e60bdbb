#include "LimitView.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
LimitView::~LimitView() = default;

}  // namespace orvex
