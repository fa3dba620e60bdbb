#include "PrintJob.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
PrintJob::~PrintJob() = default;

}  // namespace orvex
