#include <gtest/gtest.h>

#include <QDateTime>
#include <cmath>

#include "host/archive/HostDrift.h"

namespace {

using orvex::HostDrift;

const QDateTime kFirst(QDate(2021, 6, 1), QTime(9, 0), Qt::UTC);
constexpr double kYear = 365.2425 * 86400.0;

QDateTime YearsOn(double years) { return kFirst.addSecs(std::llround(years * kYear)); }

HostDrift Points(std::initializer_list<std::pair<double, double>> points) {
    HostDrift drift;
    for (const auto& [years, value] : points) drift.Add(YearsOn(years), value);
    return drift;
}

}  // namespace

TEST(DriftTest, AMonitorDriftingAboutOneMmHgAYearLeavesItsBandWhenTheHandCalculationSays) {
    // x (years) 0, 1, 2, 3; y (mmHg) -1.0, 0.1, 0.9, 2.0. Mean x 1.5, mean y 0.5.
    // Sxx = 2.25 + 0.25 + 0.25 + 2.25 = 5; Sxy = 2.25 + 0.2 + 0.2 + 2.25 = 4.9; Syy = 4.82.
    // Slope 4.9 / 5 = 0.98 a year; at x = 0: 0.5 - 0.98 * 1.5 = -0.97; R^2 = 4.9^2 / (5 * 4.82) = 0.99627.
    // +3 is reached at x = (3 + 0.97) / 0.98 = 4.05102 years, 1479.6 days after 2021-06-01: 2025-06-19.
    const HostDrift drift = Points({{0, -1.0}, {1, 0.1}, {2, 0.9}, {3, 2.0}});
    const auto line = drift.Fit({-3.0, 3.0});
    ASSERT_TRUE(line);
    EXPECT_NEAR(line->slope, 0.98, 1e-9);
    EXPECT_NEAR(line->start, -0.97, 1e-9);
    EXPECT_NEAR(line->fit, 0.99627, 1e-5);
    EXPECT_EQ(line->points, 4);
    EXPECT_TRUE(line->high);
    EXPECT_LE(std::abs(line->leaves.secsTo(YearsOn(3.97 / 0.98))), 1);
    EXPECT_EQ(line->leaves.date(), QDate(2025, 6, 19));
    // The points in any order make the same line.
    const auto reversed = Points({{3, 2.0}, {2, 0.9}, {1, 0.1}, {0, -1.0}}).Fit({-3.0, 3.0});
    ASSERT_TRUE(reversed);
    EXPECT_NEAR(reversed->slope, 0.98, 1e-9);
    EXPECT_LE(std::abs(reversed->leaves.secsTo(line->leaves)), 1);
    // Mirrored (y -> -y): the low edge, crossed at the same time.
    const auto falling = Points({{0, 1.0}, {1, -0.1}, {2, -0.9}, {3, -2.0}}).Fit({-3.0, 3.0});
    ASSERT_TRUE(falling);
    EXPECT_FALSE(falling->high);
    EXPECT_LE(std::abs(falling->leaves.secsTo(line->leaves)), 1);
}

// Only the newest points a trend draws make the line, whatever order they come in: a monitor
// that began to climb after twenty steady years is judged on the climb.
TEST(DriftTest, TheLineGoesThroughTheNewestPointsOnly) {
    HostDrift drift;
    // Added newest first: years 29 down to 20 climb 0.5 mmHg a year from -2.0; years 19 to 0 hold 2.5.
    for (int year = 29; year >= 20; --year) drift.Add(YearsOn(year), -2.0 + 0.5 * (year - 20));
    for (int year = 19; year >= 0; --year) drift.Add(YearsOn(year), 2.5);
    EXPECT_EQ(drift.Points(), HostDrift::kNewest);
    const auto line = drift.Fit({-3.0, 3.0});
    ASSERT_TRUE(line);
    EXPECT_NEAR(line->slope, 0.5, 1e-9);
    EXPECT_EQ(line->from, YearsOn(20));
    EXPECT_NEAR(line->start, -2.0, 1e-9);
    // +3 at (3 + 2) / 0.5 = 10 years after year 20.
    EXPECT_LE(std::abs(line->leaves.secsTo(YearsOn(30))), 1);
}

TEST(DriftTest, NothingIsSaidOfTooFewPointsAPoorFitOrALineThatNeverReachesALimit) {
    EXPECT_FALSE(Points({{0, 0.0}, {1, 1.0}}).Fit({-3.0, 3.0}));
    // Three readings of one day.
    EXPECT_FALSE(Points({{0, 0.0}, {0.001, 1.0}, {0.002, 2.0}}).Fit({-3.0, 3.0}));
    // Sxy = -0.75 + 0.25 + 0.25 - 0.75 = -1, Sxx = 5, Syy = 1: R^2 = 1 / 5 = 0.2, below 0.5.
    EXPECT_FALSE(Points({{0, 0.5}, {1, -0.5}, {2, 0.5}, {3, -0.5}}).Fit({-3.0, 3.0}));
    EXPECT_FALSE(Points({{0, 1.0}, {1, 1.0}, {2, 1.0}}).Fit({-3.0, 3.0}));
    // Rising towards no limit.
    EXPECT_FALSE(Points({{0, 0.0}, {1, 1.0}, {2, 2.0}}).Fit({-3.0, std::nullopt}));
    // A century and more away.
    EXPECT_FALSE(Points({{0, 0.0}, {1, 0.01}, {2, 0.02}}).Fit({-3.0, 3.0}));
    EXPECT_TRUE(Points({{0, 0.0}, {1, 0.01}, {2, 0.02}}).Fit({-3.0, 0.5}));
}

TEST(DriftTest, TheBandIsTheNarrowestItsLimitsAllowTogether) {
    const auto band =
        HostDrift::Band::Of({{"A", -3.0, 3.0}, {"B", -5.0, 2.0}, {"C", std::nullopt, std::nullopt}});
    EXPECT_EQ(band.low, -3.0);
    EXPECT_EQ(band.high, 2.0);
    EXPECT_FALSE(HostDrift::Band::Of({{"C", std::nullopt, std::nullopt}}).Judges());
}
