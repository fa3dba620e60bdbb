#include "IUnknown.h"

namespace orvex {

IUnknown::~IUnknown() = default;

}  // namespace orvex
