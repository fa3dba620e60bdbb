#include "XmlElement.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XmlElement::~XmlElement() = default;

}  // namespace orvex
