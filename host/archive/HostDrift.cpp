#include "HostDrift.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

constexpr double kSecondsPerYear = 365.2425 * 86400.0;

}  // namespace

HostDrift::Band HostDrift::Band::Of(const QList<HostVisitRecord::Limit>& limits) {
    Band band;
    for (const auto& limit : limits) {
        if (limit.low && std::isfinite(*limit.low))
            band.low = std::max(band.low.value_or(*limit.low), *limit.low);
        if (limit.high && std::isfinite(*limit.high))
            band.high = std::min(band.high.value_or(*limit.high), *limit.high);
    }
    return band;
}

void HostDrift::Add(const QDateTime& when, double value) {
    if (!when.isValid() || !std::isfinite(value)) return;
    const auto at =
        std::upper_bound(m_kept.begin(), m_kept.end(), when,
                         [](const QDateTime& time, const auto& kept) { return time < kept.first; });
    m_kept.insert(at, {when, value});
    if (m_kept.size() > static_cast<std::size_t>(kNewest)) m_kept.erase(m_kept.begin());
}

std::optional<HostDrift::Line> HostDrift::Fit(const Band& band) const {
    if (Points() < kLeastPoints) return std::nullopt;
    const QDateTime origin = m_kept.front().first;
    // Years from the earliest point keep the sums small, so their differences lose nothing.
    const auto years = [&origin](const QDateTime& when) {
        return static_cast<double>(origin.secsTo(when)) / kSecondsPerYear;
    };
    const double latest = years(m_kept.back().first);
    if (latest * kSecondsPerYear / 86400.0 < kShortestSpanDays) return std::nullopt;
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (const auto& [when, value] : m_kept) {
        const double x = years(when);
        sx += x;
        sy += value;
        sxx += x * x;
        sxy += x * value;
        syy += value * value;
    }
    const double n = Points();
    sxx -= sx * sx / n;
    sxy -= sx * sy / n;
    syy -= sy * sy / n;
    // Points at one time have no slope; values all equal have no drift.
    if (sxx <= 1e-12 || syy <= 1e-12) return std::nullopt;
    Line line;
    line.points = Points();
    line.slope = sxy / sxx;
    line.start = (sy - line.slope * sx) / n;
    line.from = origin;
    line.fit = sxy * sxy / (sxx * syy);
    if (line.fit < kLeastFit || line.slope == 0.0) return std::nullopt;
    line.high = line.slope > 0.0;
    const std::optional<double> edge = line.high ? band.high : band.low;
    if (!edge) return std::nullopt;
    const double crossing = (*edge - line.start) / line.slope;
    if (!std::isfinite(crossing) || crossing - latest > kLongestYears || crossing < -kLongestYears)
        return std::nullopt;
    line.leaves = origin.addSecs(static_cast<qint64>(std::llround(crossing * kSecondsPerYear)));
    return line;
}

}  // namespace orvex
