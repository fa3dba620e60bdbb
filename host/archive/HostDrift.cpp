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
    if (m_points == 0) m_origin = when;
    // Years from the first point keep the sums small, so their differences lose nothing.
    const double x = static_cast<double>(m_origin.secsTo(when)) / kSecondsPerYear;
    ++m_points;
    m_earliest = std::min(m_earliest, x);
    m_latest = std::max(m_latest, x);
    m_x += x;
    m_y += value;
    m_xx += x * x;
    m_xy += x * value;
    m_yy += value * value;
}

std::optional<HostDrift::Line> HostDrift::Fit(const Band& band) const {
    if (m_points < kLeastPoints || (m_latest - m_earliest) * kSecondsPerYear / 86400.0 < kShortestSpanDays)
        return std::nullopt;
    const double n = m_points;
    const double sxx = m_xx - m_x * m_x / n;
    const double sxy = m_xy - m_x * m_y / n;
    const double syy = m_yy - m_y * m_y / n;
    // Points at one time have no slope; values all equal have no drift.
    if (sxx <= 1e-12 || syy <= 1e-12) return std::nullopt;
    Line line;
    line.points = m_points;
    line.slope = sxy / sxx;
    line.start = (m_y - line.slope * m_x) / n;
    line.fit = sxy * sxy / (sxx * syy);
    if (line.fit < kLeastFit || line.slope == 0.0) return std::nullopt;
    line.high = line.slope > 0.0;
    const std::optional<double> edge = line.high ? band.high : band.low;
    if (!edge) return std::nullopt;
    const double years = (*edge - line.start) / line.slope;
    if (!std::isfinite(years) || years - m_latest > kLongestYears || years < -kLongestYears)
        return std::nullopt;
    line.leaves = m_origin.addSecs(static_cast<qint64>(std::llround(years * kSecondsPerYear)));
    return line;
}

}  // namespace orvex
