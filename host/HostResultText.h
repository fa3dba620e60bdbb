#pragma once

#include <QString>
#include <cstdint>

#include "HostExport.h"

namespace orvex {

class IMeasurement;

// How results read outside the plug-in's views: in `orvex show`, the report and the export.
class ORVEX_HOST_EXPORT HostResultText {
public:
    static constexpr int32_t kPassed = 1;
    static constexpr int32_t kFailed = 2;
    static constexpr int32_t kNotApplicable = 3;

    // "passed", "failed", "not-applicable", or "not-measured" for any other status.
    static QString StatusWord(int32_t status);
    // The value in the measurement's own format, without its unit; empty when there is none.
    static QString Value(IMeasurement& measurement);
};

}  // namespace orvex
