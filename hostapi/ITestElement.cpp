#include "ITestElement.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ITestElement::~ITestElement() = default;

}  // namespace orvex
