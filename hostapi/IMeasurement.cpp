#include "IMeasurement.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IMeasurement::~IMeasurement() = default;

}  // namespace orvex
