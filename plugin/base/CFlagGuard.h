#pragma once

#include "plugin/base/PlugInExport.h"

namespace korotka {

// Sets a busy or loading flag for as long as it lives, so that every way out of a handler (a
// return, a host call that throws) clears it again. The flag's earlier value comes back, so
// guards nest.
class KOROTKA_PLUGIN_EXPORT CFlagGuard {
public:
    explicit CFlagGuard(bool& flag);
    ~CFlagGuard();
    CFlagGuard(const CFlagGuard&) = delete;
    CFlagGuard& operator=(const CFlagGuard&) = delete;

private:
    bool& m_flag;
    bool m_before;
};

}  // namespace korotka
