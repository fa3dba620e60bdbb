#include "HostReadingTrend.h"

#include <algorithm>

namespace orvex {

namespace {

const HostVisitRecord::Test* TestOf(const HostVisitRecord& record, int testId, int position) {
    const HostVisitRecord::Test* first = nullptr;
    for (const auto& test : record.tests) {
        if (test.testId != testId) continue;
        if (test.position == position) return &test;
        if (first == nullptr) first = &test;
    }
    return first;
}

}  // namespace

const HostVisitRecord::Reading* HostReadingTrend::In(const HostVisitRecord& visit, const Reading& reading) {
    const auto* test = TestOf(visit, reading.testId, reading.position);
    if (test == nullptr) return nullptr;
    for (const auto& stored : test->readings) {
        if (stored.key == reading.key) return &stored;
    }
    return nullptr;
}

QList<HostReadingTrend::Point> HostReadingTrend::Of(const QList<HostResultsDatabase::Visit>& visits,
                                                    const Reading& reading) {
    QList<Point> points;
    for (const auto& visit : visits) {
        if (points.size() == kVisits) break;
        const auto* stored = In(visit.record, reading);
        if (stored != nullptr && stored->value)
            points.append(
                {visit.record.performed, *stored->value, stored->limits, visit.altered || visit.broken});
    }
    std::reverse(points.begin(), points.end());
    return points;
}

QList<HostReadingTrend::Reading> HostReadingTrend::Readings(const QList<HostResultsDatabase::Visit>& visits) {
    QList<Reading> readings;
    for (const auto& visit : visits) {
        for (const auto& test : visit.record.tests) {
            for (const auto& stored : test.readings) {
                if (!stored.value) continue;
                // Known when the series of a reading already listed would take it from this test.
                const bool known = std::any_of(readings.begin(), readings.end(), [&](const Reading& r) {
                    return r.testId == test.testId && r.key == stored.key &&
                           TestOf(visit.record, r.testId, r.position) == &test;
                });
                if (!known) {
                    readings.append(
                        {test.testId, test.position, stored.key, test.name, stored.description, stored.unit});
                }
            }
        }
    }
    return readings;
}

}  // namespace orvex
