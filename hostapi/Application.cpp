#include "Application.h"

namespace orvex {

// Out of line so that the interface's type information lives in one library only.
Application::~Application() = default;

}  // namespace orvex
