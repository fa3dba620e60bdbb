#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "host/archive/HostReadingTrend.h"

using orvex::HostReadingTrend;
using orvex::HostResultsDatabase;
using orvex::HostVisitRecord;

namespace {

// A visit with one DIFF reading per test, the tests given as (test id, value; NaN: no number).
HostResultsDatabase::Visit VisitOn(int day, const std::vector<std::pair<int, double>>& tests) {
    HostResultsDatabase::Visit visit;
    visit.record.performed = QStringLiteral("2026-01-%1T10:00:00Z").arg(day, 2, 10, QLatin1Char('0'));
    int position = 0;
    for (const auto& [testId, value] : tests) {
        HostVisitRecord::Test test;
        test.position = ++position;
        test.testId = testId;
        HostVisitRecord::Reading reading;
        reading.key = QStringLiteral("DIFF");
        if (!std::isnan(value)) reading.value = value;
        test.readings.append(reading);
        visit.record.tests.append(test);
    }
    return visit;
}

QList<double> Values(const QList<HostReadingTrend::Point>& points) {
    QList<double> values;
    for (const auto& point : points) values << point.value;
    return values;
}

}  // namespace

TEST(ReadingTrendTest, FollowsTheSameTestOldestFirstForAtMostTenVisits) {
    QList<HostResultsDatabase::Visit> visits;  // newest first, as the database gives them
    for (int day = 28; day >= 1; --day) visits.append(VisitOn(day, {{300, day}, {300, 100.0 + day}}));
    // A visit without the test, and one whose reading has no number, are no points.
    visits.insert(1, VisitOn(27, {{100, 5.0}}));
    visits.insert(2, VisitOn(27, {{300, std::nan("")}}));

    const HostReadingTrend::Reading second{300, 2, QStringLiteral("DIFF"), {}, {}, {}};
    EXPECT_EQ(Values(HostReadingTrend::Of(visits, second)),
              (QList<double>{119, 120, 121, 122, 123, 124, 125, 126, 127, 128}));
    // A test moved to another position is still followed, by its test id.
    const HostReadingTrend::Reading third{300, 3, QStringLiteral("DIFF"), {}, {}, {}};
    EXPECT_EQ(Values(HostReadingTrend::Of(visits, third)).last(), 28.0);
    EXPECT_TRUE(HostReadingTrend::Of(visits, {300, 1, QStringLiteral("RATE"), {}, {}, {}}).isEmpty());

    // Both static tests are readings of their own; the leak is a third, the empty one adds nothing.
    const auto readings = HostReadingTrend::Readings(visits);
    ASSERT_EQ(readings.size(), 3);
    EXPECT_EQ(readings[0].position, 1);
    EXPECT_EQ(readings[1].position, 2);
    EXPECT_EQ(readings[2].testId, 100);
}
