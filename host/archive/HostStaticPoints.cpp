#include "HostStaticPoints.h"

#include <algorithm>

namespace orvex {

namespace {

std::optional<HostVisitRecord::Reading> ReadingOf(const HostVisitRecord::Test& test, const QString& key) {
    for (const HostVisitRecord::Reading& reading : test.readings) {
        if (reading.key == key) return reading;
    }
    return std::nullopt;
}

}  // namespace

QList<HostStaticPoints::Point> HostStaticPoints::Of(const HostVisitRecord& visit) {
    QList<Point> points;
    for (const HostVisitRecord::Test& test : visit.tests) {
        if (test.testId != kTestId) continue;
        Point point;
        point.position = test.position;
        point.setPressure = test.setPressure;
        point.setPressureUnit = test.setPressureUnit;
        point.noPump = test.noPump;
        point.reference = ReadingOf(test, QStringLiteral("MANO"));
        point.monitor = ReadingOf(test, QStringLiteral("STAT"));
        point.difference = ReadingOf(test, QStringLiteral("DIFF"));
        point.status = test.status;
        if (point.difference) {
            // Several limit sets judge a reading by the narrowest band they leave together.
            for (const HostVisitRecord::Limit& limit : point.difference->limits) {
                if (limit.low) point.low = std::max(point.low.value_or(*limit.low), *limit.low);
                if (limit.high) point.high = std::min(point.high.value_or(*limit.high), *limit.high);
            }
            if (!point.difference->status.isEmpty()) point.status = point.difference->status;
        }
        points.append(point);
    }
    return points;
}

}  // namespace orvex
