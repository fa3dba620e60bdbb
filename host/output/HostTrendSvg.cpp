#include "HostTrendSvg.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/output/HostTrendPicture.h"

namespace orvex {

namespace {

constexpr double kLeft = 48.0;
constexpr double kRight = HostTrendSvg::kWidth - 10.0;
constexpr double kTop = 16.0;
constexpr double kBottom = HostTrendSvg::kHeight - 22.0;
constexpr double kSecondsPerYear = 365.2425 * 86400.0;
constexpr double kDay = 86400.0;

// Coordinates to a tenth of a pixel: small to write, exact enough to see.
QString At(double coordinate) { return QString::number(coordinate, 'f', 1); }

QString Value(double value) { return QString::number(value, 'g', 6); }

QString Day(const QDateTime& when) { return when.toUTC().date().toString(Qt::ISODate); }

}  // namespace

QString HostTrendSvg::Svg(const HostFleet::Trend& trend) {
    const auto& points = trend.points;
    if (points.size() < 2) return QStringLiteral("<p class=\"note\">Too few points to draw.</p>");
    const QDateTime first = points.first().when;
    // Seconds from the first point; the picture ends at the newest point, or at the month the line
    // leaves the band when that comes no later than the points' own span again.
    double end = std::max(static_cast<double>(first.secsTo(points.last().when)), kDay);
    const HostDrift::Band& band = trend.band;
    const auto& line = trend.line;
    double leaves = 0.0;
    bool leavesShown = false;
    // The line is drawn over the points it goes through (the newest) and on to the picture's end.
    double from = 0.0;
    if (line) {
        leaves = static_cast<double>(first.secsTo(line->leaves));
        const auto reach = HostTrendPicture::ReachOf(end, leaves);
        leavesShown = reach.marked;
        end = reach.end;
        from = std::clamp(static_cast<double>(first.secsTo(line->from)), 0.0, end);
    }
    const auto fitted = [&](double seconds) {
        return line->start +
               line->slope * (seconds - static_cast<double>(first.secsTo(line->from))) / kSecondsPerYear;
    };
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const auto include = [&](double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    };
    for (const auto& point : points) include(point.value);
    if (band.low) include(*band.low);
    if (band.high) include(*band.high);
    if (line) {
        include(fitted(from));
        include(fitted(end));
    }
    const double pad = high > low ? (high - low) * 0.08 : std::max(1.0, std::abs(high) * 0.1);
    low -= pad;
    high += pad;
    if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(high - low))
        return QStringLiteral("<p class=\"note\">The values lie too far apart to draw.</p>");
    const auto x = [&](double seconds) { return At(kLeft + seconds / end * (kRight - kLeft)); };
    const auto xOf = [&](const QDateTime& when) { return x(static_cast<double>(first.secsTo(when))); };
    const auto yAt = [&](double value) { return kTop + (high - value) / (high - low) * (kBottom - kTop); };
    const auto y = [&](double value) { return At(yAt(value)); };

    QString svg =
        QStringLiteral(
            "<svg class=\"trend\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %1 %2\" role=\"img\" "
            "aria-label=\"%3\">")
            .arg(kWidth)
            .arg(kHeight)
            .arg(QStringLiteral("%1 %2 from %3 to %4")
                     .arg(trend.reading.testName, trend.reading.key, Day(first), Day(points.last().when))
                     .toHtmlEscaped());
    // A side without a limit is open to the picture's edge.
    const double top = yAt(band.high.value_or(high));
    svg += QStringLiteral("<rect class=\"band\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>")
               .arg(At(kLeft), At(top), At(kRight - kLeft),
                    At(std::max(0.0, yAt(band.low.value_or(low)) - top)));
    for (const auto& side : {band.low, band.high}) {
        if (!side) continue;
        svg += QStringLiteral(
                   "<line class=\"edge\" x1=\"%1\" y1=\"%3\" x2=\"%2\" y2=\"%3\"/><text class=\"axis\" "
                   "x=\"%4\" y=\"%3\" dy=\"3\" text-anchor=\"end\">%5</text>")
                   .arg(At(kLeft), At(kRight), y(*side), At(kLeft - 4.0), Value(*side).toHtmlEscaped());
    }
    svg += QStringLiteral("<rect class=\"frame\" x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>")
               .arg(At(kLeft), At(kTop), At(kRight - kLeft), At(kBottom - kTop));
    QStringList path;
    for (const auto& point : points) path << xOf(point.when) + QLatin1Char(',') + y(point.value);
    svg += QStringLiteral("<polyline class=\"path\" points=\"%1\"/>").arg(path.join(QLatin1Char(' ')));
    if (line) {
        svg += QStringLiteral("<line class=\"fit\" x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\"/>")
                   .arg(x(from), y(fitted(from)), x(end), y(fitted(end)));
    }
    for (const auto& point : points) {
        const bool out = (band.low && point.value < *band.low) || (band.high && point.value > *band.high);
        // A point is a bare circle, the commonest element of a large page; one outside is marked.
        svg += QStringLiteral("<circle%1 cx=\"%2\" cy=\"%3\" r=\"2.5\"/>")
                   .arg(out ? QStringLiteral(" class=\"out\"") : QString(), xOf(point.when), y(point.value));
    }
    if (line && leaves >= 0.0) {
        const QString month = line->leaves.toUTC().date().toString(QStringLiteral("yyyy-MM"));
        if (leavesShown) {
            // The label stays inside the picture: to the left of a mark in the right half.
            svg += QStringLiteral(
                       "<line class=\"leaves\" x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\"/><circle "
                       "class=\"leaves\" cx=\"%1\" cy=\"%4\" r=\"4\"/><text class=\"leaves\" x=\"%1\" "
                       "y=\"%5\" text-anchor=\"%6\">leaves %7</text>")
                       .arg(x(leaves), At(kTop), At(kBottom), y(fitted(leaves)), At(kTop - 4.0),
                            leaves > end / 2.0 ? QStringLiteral("end") : QStringLiteral("start"), month);
        } else {
            // Too far ahead to place without squeezing the points: written at the right edge.
            svg += QStringLiteral(
                       "<text class=\"leaves\" x=\"%1\" y=\"%2\" text-anchor=\"end\">leaves %3 "
                       "\u2192</text>")
                       .arg(At(kRight), At(kTop - 4.0), month);
        }
    }
    svg +=
        QStringLiteral(
            "<text class=\"axis\" x=\"%1\" y=\"%3\">%4</text><text class=\"axis\" x=\"%2\" y=\"%3\" "
            "text-anchor=\"end\">%5</text></svg>")
            .arg(At(kLeft), xOf(points.last().when), At(kHeight - 6.0), Day(first), Day(points.last().when));
    return svg;
}

}  // namespace orvex
