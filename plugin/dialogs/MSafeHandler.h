#pragma once

#include <concepts>
#include <functional>
#include <utility>

#include "plugin/base/PlugInExport.h"

namespace korotka {

// What the handlers of Qt signals and events in the plug-in's windows run through. An error raised
// inside is logged and stops there: Qt cannot unwind through its event loop, and the host never
// hears of a window's failure. A handler whose steps do not depend on each other runs each through
// Run, so that one failing step leaves the others done.
class KOROTKA_PLUGIN_EXPORT MSafeHandler {
public:
    // Runs the step; false, logged under what it was, when it raised.
    static bool Run(const char* what, const std::function<void()>& step) noexcept;

    // The handler as a functor to connect to a signal: every call runs through Run. The handler
    // takes as many of the signal's arguments as it wants, as with a plain connect.
    template <typename Handler>
    static auto Guarded(const char* what, Handler handler) {
        return [ what, handler = std::move(handler) ](
            auto&&... arguments) requires std::invocable<const Handler&, decltype(arguments)...> {
            Run(what, [&] { handler(std::forward<decltype(arguments)>(arguments)...); });
        };
    }
};

}  // namespace korotka
