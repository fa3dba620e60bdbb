#include "InstrumentData.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
InstrumentData::~InstrumentData() = default;

}  // namespace orvex
