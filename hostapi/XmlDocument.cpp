#include "XmlDocument.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XmlDocument::~XmlDocument() = default;

}  // namespace orvex
