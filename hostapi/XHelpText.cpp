#include "XHelpText.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XHelpText::~XHelpText() = default;

}  // namespace orvex
