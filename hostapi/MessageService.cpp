#include "MessageService.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
MessageService::~MessageService() = default;

}  // namespace orvex
