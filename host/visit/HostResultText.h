#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "host/platform/HostExport.h"

namespace orvex {

class IMeasurement;
class Variant;

// How results read outside the plug-in's views: in `orvex show`, the report and the export.
class ORVEX_HOST_EXPORT HostResultText {
public:
    // "passed", "failed", "not-applicable", or "not-measured" for any other status.
    static QString StatusWord(int32_t status);
    // The value in the measurement's own format, without its unit; empty when there is none.
    static QString Value(IMeasurement& measurement);
    // The number a value holds (also as text); none for Empty, Null, a yes/no, other text or a
    // number that is not finite. A single is the number of its shortest decimal form.
    static std::optional<double> Number(const Variant& value);
};

}  // namespace orvex
