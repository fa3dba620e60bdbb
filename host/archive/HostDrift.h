#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <optional>
#include <utility>
#include <vector>

#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

// A straight line fitted by least squares through one reading's values over time, and when that
// line leaves the reading's limit band. The line goes through the newest kNewest points by time,
// the ones a trend draws, whatever order they are added in: the window, the report, the fleet and
// the command line then say the same date, and a reading of many visits costs no memory.
//
// When nothing is said: fewer than three points; points less than 30 days apart from first to last
// (a day's repeats say nothing of a year); a fit too poor to mean anything
// (R^2, the share of the values' spread the line explains, below 0.5); a line that never reaches
// the band's edge it moves towards (flat, or moving towards a side with no limit); or one that would
// take more than a century to get there.
class ORVEX_HOST_EXPORT HostDrift {
public:
    static constexpr int kLeastPoints = 3;
    static constexpr double kLeastFit = 0.5;
    static constexpr double kLongestYears = 100.0;
    static constexpr double kShortestSpanDays = 30.0;
    static constexpr int kNewest = HostReadingTrend::kVisits;

    // The band a reading must stay in: the narrowest its limits allow together.
    struct Band {
        std::optional<double> low;
        std::optional<double> high;
        static Band Of(const QList<HostVisitRecord::Limit>& limits);
        bool Judges() const { return low.has_value() || high.has_value(); }
    };
    struct Line {
        // Change of the value per year (365.2425 days), and the value at `from`, the earliest point
        // the line goes through.
        double slope = 0.0;
        double start = 0.0;
        QDateTime from;
        // R^2 of the fit.
        double fit = 0.0;
        int points = 0;
        // When the line crosses the edge it moves towards, and which edge (true: the high one).
        QDateTime leaves;
        bool high = false;
    };

    void Add(const QDateTime& when, double value);
    int Points() const { return static_cast<int>(m_kept.size()); }
    // The line and when it leaves the band; none when nothing is to be said (see above).
    std::optional<Line> Fit(const Band& band) const;

private:
    // The newest points, oldest first.
    std::vector<std::pair<QDateTime, double>> m_kept;
};

}  // namespace orvex
