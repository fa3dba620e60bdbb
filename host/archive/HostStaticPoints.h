#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

// The static-pressure tests of a visit as the points of one accuracy check: at each set pressure
// the Korotka's reading (the reference), the monitor's (typed by the technician) and how far the
// monitor is off, against the limit of that difference. A monitor that reads high at the top of
// its range shows in the points together, not in one test.
class ORVEX_HOST_EXPORT HostStaticPoints {
public:
    // The plug-in's test id of the static-pressure test.
    static constexpr int kTestId = 300;

    struct Point {
        int position = 0;
        // The pressure the test is set to hold, in its unit; none when the configuration cannot
        // say. Without the pump the gauge reads the pressure it is given from outside.
        std::optional<double> setPressure;
        QString setPressureUnit;
        bool noPump = false;
        // The readings: the Korotka's ("MANO"), the monitor's ("STAT") and the monitor's less the
        // Korotka's ("DIFF"); none for a test not performed.
        std::optional<HostVisitRecord::Reading> reference;
        std::optional<HostVisitRecord::Reading> monitor;
        std::optional<HostVisitRecord::Reading> difference;
        // The band the difference must lie in under every limit set that judges it.
        std::optional<double> low;
        std::optional<double> high;
        // The difference's verdict word, or the test's when the difference has none.
        QString status;
    };

    // In the order of the visit.
    static QList<Point> Of(const HostVisitRecord& visit);
};

}  // namespace orvex
