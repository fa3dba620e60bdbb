#include "IOrvexMLCQuery.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
IOrvexMLCQuery::~IOrvexMLCQuery() = default;

}  // namespace orvex
