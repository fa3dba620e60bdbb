#include "ReportContext.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
ReportContext::~ReportContext() = default;

}  // namespace orvex
