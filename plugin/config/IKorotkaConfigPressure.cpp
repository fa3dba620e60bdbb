#include "IKorotkaConfigPressure.h"

namespace korotka {

// Out of line so that the interface's type information lives in one library only.
IKorotkaConfigPressure::~IKorotkaConfigPressure() = default;

}  // namespace korotka
