#include "XmlDocumentFactory.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
XmlDocumentFactory::~XmlDocumentFactory() = default;

}  // namespace orvex
