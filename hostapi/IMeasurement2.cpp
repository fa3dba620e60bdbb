#include "IMeasurement2.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IMeasurement2::~IMeasurement2() = default;

}  // namespace orvex
