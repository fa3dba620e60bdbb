#pragma once

#include <QString>

#include "host/platform/HostExport.h"

namespace orvex {

class HostSequence;

// The overall verdict of a sequence: failed when a test failed, passed when every test passed or
// is not applicable, incomplete otherwise (no test, or one not measured or skipped).
class ORVEX_HOST_EXPORT HostVerdict {
public:
    enum class Overall { Passed, Failed, Incomplete };

    static Overall Of(const HostSequence& sequence);
    // "PASSED", "FAILED" or "INCOMPLETE", as the report prints it.
    static QString Word(Overall overall);
};

}  // namespace orvex
