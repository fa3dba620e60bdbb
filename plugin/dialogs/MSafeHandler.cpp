#include "MSafeHandler.h"

#include <exception>

#include "hostapi/ComError.h"
#include "plugin/base/PlugInLog.h"

namespace korotka {

bool MSafeHandler::Run(const char* what, const std::function<void()>& step) noexcept {
    try {
        step();
        return true;
    } catch (const orvex::ComError& error) {
        qCWarning(lcPlugIn, "%s failed and was left out: error %d, %s", what, error.Number(),
                  qUtf8Printable(error.Description()));
    } catch (const std::exception& error) {
        qCWarning(lcPlugIn, "%s failed and was left out: %s", what, error.what());
    } catch (...) {
        qCWarning(lcPlugIn, "%s failed with an unknown error and was left out", what);
    }
    return false;
}

}  // namespace korotka
