#include "HostMarginPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

// Room beyond the outermost number, as a share of the span, so a reading on a limit stays visible.
constexpr double kPadding = 0.15;
// How far the band reaches past a side that has no limit.
constexpr double kOpenSide = 0.5;

bool Finite(std::optional<double> number) { return !number || std::isfinite(*number); }

}  // namespace

bool HostMarginPicture::Within(double value, std::optional<double> low, std::optional<double> high) {
    return (!low || value >= *low) && (!high || value <= *high);
}

std::optional<std::pair<double, double>> HostMarginPicture::Span(double lowest, double highest,
                                                                 std::optional<double> low,
                                                                 std::optional<double> high) {
    if (!std::isfinite(lowest) || !std::isfinite(highest) || !Finite(low) || !Finite(high))
        return std::nullopt;
    double first = std::min({lowest, low.value_or(lowest), high.value_or(lowest)});
    double last = std::max({highest, low.value_or(highest), high.value_or(highest)});
    double span = last - first;
    if (span <= 0.0) span = std::max(std::abs(last), 1.0);
    if (!low) first -= span * kOpenSide;
    if (!high) last += span * kOpenSide;
    first -= span * kPadding;
    last += span * kPadding;
    if (!std::isfinite(last - first) || last - first <= 0.0) return std::nullopt;
    return std::pair{first, last};
}

QImage HostMarginPicture::Draw(double value, std::optional<double> low, std::optional<double> high) {
    const auto span = Span(value, value, low, high);
    if ((!low && !high) || !span) return {};
    // Plain names, not a structured binding: the lambdas below capture them, which Clang 14 refuses.
    const double first = span->first;
    const double last = span->second;
    const double width = kWidth * kScale;
    const double height = kHeight * kScale;
    const auto x = [&](double number) { return (number - first) / (last - first) * width; };
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double track = height * 0.35;
    painter.fillRect(QRectF(0, (height - track) / 2, width, track), QColor(0xdd, 0xdd, 0xdd));
    const double bandFrom = low ? x(*low) : 0.0;
    const double bandTo = high ? x(*high) : width;
    painter.fillRect(QRectF(bandFrom, (height - track) / 2, bandTo - bandFrom, track),
                     QColor(0x8f, 0xd1, 0x8f));
    painter.setPen(QPen(QColor(0x20, 0x60, 0x20), kScale));
    for (const auto& limit : {low, high}) {
        if (limit) painter.drawLine(QPointF(x(*limit), height * 0.1), QPointF(x(*limit), height * 0.9));
    }
    // The reading: a downward triangle over the track.
    const QColor marker = Within(value, low, high) ? Qt::black : QColor(0xc0, 0x00, 0x00);
    const double at = x(value);
    const double half = height * 0.4;
    QPainterPath triangle;
    triangle.moveTo(at - half, 0);
    triangle.lineTo(at + half, 0);
    triangle.lineTo(at, height * 0.75);
    triangle.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(triangle, marker);
    painter.fillRect(QRectF(at - kScale / 2.0, 0, kScale, height), marker);
    return image;
}

}  // namespace orvex
