#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "host/platform/HostExport.h"

namespace orvex {

class IMeasurement;
class ITestElement;

// The limits a measurement of a test was judged by, per standard of the test, worked out for the
// measurement's own preset: what the report draws and the export lists.
class ORVEX_HOST_EXPORT HostMeasurementLimits {
public:
    struct Limits {
        QString alphaName;
        QString completeName;
        std::optional<double> low;
        std::optional<double> high;
    };

    // One entry per standard of the test that has a low or a high limit for the measurement; none
    // for a measurement that cannot tell its limits.
    static std::vector<Limits> Of(ITestElement& element, IMeasurement& measurement);
};

}  // namespace orvex
