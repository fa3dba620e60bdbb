#include "InstrumentRegistry.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
InstrumentRegistry::~InstrumentRegistry() = default;

}  // namespace orvex
