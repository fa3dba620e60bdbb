#include "LanguageService.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
LanguageService::~LanguageService() = default;

}  // namespace orvex
