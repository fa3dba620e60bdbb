#include "IDialog.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IDialog::~IDialog() = default;

}  // namespace orvex
