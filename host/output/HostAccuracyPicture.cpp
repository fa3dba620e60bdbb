#include "HostAccuracyPicture.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "host/visit/HostResultText.h"

namespace orvex {

namespace {

// Room around the plot for the numbers and captions, in pixels on the page.
constexpr double kLeft = 52;
constexpr double kRight = 10;
constexpr double kTop = 22;
constexpr double kBottom = 34;
constexpr double kFontPixels = 10;
// Room beyond the outermost number, as a share of the span.
constexpr double kPadding = 0.08;
// A verdict without a colour of its own (not judged, not measured) is amber, as in the report.
const QColor kOtherVerdict(0x8a, 0x6d, 0x00);
// How much of an older series' colour is left: it stays readable behind the newest.
constexpr double kOlderStrength = 0.35;

bool Finite(const std::optional<double>& number) { return !number || std::isfinite(*number); }

bool Drawable(const HostAccuracyPicture::Point& point) {
    return std::isfinite(point.reference) && std::isfinite(point.difference) && Finite(point.low) &&
           Finite(point.high);
}

QColor Paler(const QColor& colour, double strength) {
    const auto mix = [strength](int channel) {
        return static_cast<int>(std::lround(255 - (255 - channel) * strength));
    };
    return {mix(colour.red()), mix(colour.green()), mix(colour.blue())};
}

// A step of 1, 2 or 5 times a power of ten that cuts the span into about `parts`.
double Step(double span, int parts) {
    const double rough = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) return factor * power;
    }
    return 10.0 * power;
}

// The multiples of step from first to last; counted, not summed, so a step too small to change a
// large number cannot run on.
QList<double> Ticks(double first, double last, double step) {
    constexpr int kMostTicks = 20;
    QList<double> ticks;
    const double start = std::ceil(first / step);
    for (int k = 0; k < kMostTicks && (start + k) * step <= last; ++k) ticks << (start + k) * step;
    return ticks;
}

// Written as the language writes numbers (1,5 in German), as the trend pictures are.
QString Number(double value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // A tick computed as 0.30000000000000004 reads 0.3; one at zero never reads -0.
    return locale.toString(std::abs(value) < 1e-9 ? 0.0 : value, 'g', 6);
}

}  // namespace

HostAccuracyPicture::Series HostAccuracyPicture::SeriesOf(const QList<HostStaticPoints::Point>& points,
                                                          const QString& name) {
    Series series{name, {}};
    for (const HostStaticPoints::Point& point : points) {
        if (!point.reference || !point.reference->value || !point.difference || !point.difference->value)
            continue;
        series.points.append(
            {*point.reference->value, *point.difference->value, point.low, point.high, point.status});
    }
    return series;
}

QImage HostAccuracyPicture::Draw(const QList<Series>& series, const QString& title, const Axes& axes,
                                 QSize size) {
    if (size.width() < kLeft + kRight + 40 || size.height() < kTop + kBottom + 40) return {};
    QList<QList<Point>> drawn;
    double firstX = 0;
    double lastX = 0;
    double reach = 0;
    bool any = false;
    for (const Series& one : series) {
        QList<Point> points;
        for (const Point& point : one.points) {
            if (!Drawable(point)) continue;
            points.append(point);
            firstX = any ? std::min(firstX, point.reference) : std::min(0.0, point.reference);
            lastX = any ? std::max(lastX, point.reference) : point.reference;
            any = true;
            reach = std::max(reach, std::abs(point.difference));
            for (const auto& limit : {point.low, point.high}) {
                if (limit) reach = std::max(reach, std::abs(*limit));
            }
        }
        std::sort(points.begin(), points.end(),
                  [](const Point& a, const Point& b) { return a.reference < b.reference; });
        drawn.append(points);
    }
    if (!any || !std::isfinite(reach) || !std::isfinite(lastX - firstX)) return {};
    // Zero in the middle: a reading high and one low weigh the same.
    if (reach <= 0) reach = 1;
    const double lowY = -reach * (1 + 2 * kPadding);
    const double highY = reach * (1 + 2 * kPadding);
    double spanX = lastX - firstX;
    if (spanX <= 0) spanX = std::max(std::abs(lastX), 1.0);
    firstX -= spanX * kPadding;
    lastX += spanX * kPadding;
    if (!std::isfinite(lastX - firstX) || !std::isfinite(highY - lowY)) return {};

    const double scale = kScale;
    QImage image(size * kScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(kFontPixels * scale));
    painter.setFont(font);
    const QRectF plot(kLeft * scale, kTop * scale, (size.width() - kLeft - kRight) * scale,
                      (size.height() - kTop - kBottom) * scale);
    const auto x = [&](double number) {
        return plot.left() + (number - firstX) / (lastX - firstX) * plot.width();
    };
    const auto y = [&](double number) {
        return plot.bottom() - (number - lowY) / (highY - lowY) * plot.height();
    };

    painter.fillRect(plot, QColor(0xf7, 0xf7, 0xf7));
    // The newest series' band: each point's limits from halfway to the point before it to halfway
    // to the next, so limits that differ by pressure show as steps.
    const QList<Point>& newest = drawn.last();
    for (qsizetype i = 0; i < newest.size(); ++i) {
        const Point& point = newest[i];
        if (!point.low && !point.high) continue;
        const double from = i == 0 ? plot.left() : x((newest[i - 1].reference + point.reference) / 2);
        const double to =
            i + 1 == newest.size() ? plot.right() : x((point.reference + newest[i + 1].reference) / 2);
        const double top = point.high ? std::clamp(y(*point.high), plot.top(), plot.bottom()) : plot.top();
        const double bottom =
            point.low ? std::clamp(y(*point.low), plot.top(), plot.bottom()) : plot.bottom();
        painter.fillRect(QRectF(from, top, to - from, bottom - top), QColor(0xc8, 0xe8, 0xc8));
        painter.setPen(QPen(QColor(0x20, 0x60, 0x20), scale * 0.75));
        if (point.high) painter.drawLine(QPointF(from, top), QPointF(to, top));
        if (point.low) painter.drawLine(QPointF(from, bottom), QPointF(to, bottom));
    }

    // The scales: light lines at each step, zero darker.
    painter.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), scale * 0.5));
    const double stepX = Step(lastX - firstX, 6);
    const double stepY = Step(highY - lowY, 6);
    for (const double at : Ticks(firstX, lastX, stepX)) {
        painter.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), scale * 0.5));
        painter.drawLine(QPointF(x(at), plot.top()), QPointF(x(at), plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x(at) - 30 * scale, plot.bottom() + 2 * scale, 60 * scale, 12 * scale),
                         Qt::AlignHCenter | Qt::AlignTop, Number(at));
    }
    for (const double at : Ticks(lowY, highY, stepY)) {
        const bool zero = std::abs(at) < stepY / 2;
        painter.setPen(zero ? QPen(QColor(0x60, 0x60, 0x60), scale * 0.75)
                            : QPen(QColor(0xd0, 0xd0, 0xd0), scale * 0.5));
        painter.drawLine(QPointF(plot.left(), y(at)), QPointF(plot.right(), y(at)));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y(at) - 6 * scale, plot.left() - 4 * scale, 12 * scale),
                         Qt::AlignRight | Qt::AlignVCenter, Number(at));
    }
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), scale * 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    // Each series joined by a line, oldest first so the newest lies on top.
    for (qsizetype s = 0; s < drawn.size(); ++s) {
        const bool isNewest = s + 1 == drawn.size();
        const double strength = isNewest ? 1.0 : kOlderStrength;
        QPainterPath line;
        for (qsizetype i = 0; i < drawn[s].size(); ++i) {
            const QPointF at(x(drawn[s][i].reference), y(drawn[s][i].difference));
            if (i == 0) {
                line.moveTo(at);
            } else {
                line.lineTo(at);
            }
        }
        painter.setPen(QPen(Paler(QColor(0x50, 0x50, 0x50), strength), scale * (isNewest ? 1.0 : 0.75)));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(line);
        painter.setPen(Qt::NoPen);
        for (const Point& point : drawn[s]) {
            const QColor verdict = HostResultText::StatusColour(point.status);
            painter.setBrush(Paler(verdict.isValid() ? verdict : kOtherVerdict, strength));
            const double radius = (isNewest ? 3.5 : 2.5) * scale;
            painter.drawEllipse(QPointF(x(point.reference), y(point.difference)), radius, radius);
        }
    }

    painter.setPen(Qt::black);
    painter.drawText(QRectF(plot.left(), plot.bottom() + 16 * scale, plot.width(), 14 * scale),
                     Qt::AlignHCenter | Qt::AlignTop, axes.reference);
    painter.save();
    painter.translate(2 * scale, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), 14 * scale),
                     Qt::AlignHCenter | Qt::AlignTop, axes.difference);
    painter.restore();
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.drawText(QRectF(plot.left(), 0, plot.width(), kTop * scale), Qt::AlignLeft | Qt::AlignVCenter,
                     title);
    // With several visits, their names in the top right corner, newest first, each in its shade.
    if (series.size() > 1) {
        painter.setFont(font);
        double right = plot.right();
        for (qsizetype s = series.size() - 1; s >= 0; --s) {
            const QColor colour = Paler(Qt::black, s + 1 == series.size() ? 1.0 : kOlderStrength + 0.2);
            const double width = painter.fontMetrics().horizontalAdvance(series[s].name) + 12 * scale;
            if (right - width < plot.center().x()) break;
            painter.setPen(colour);
            painter.drawText(QRectF(right - width, 0, width, kTop * scale), Qt::AlignRight | Qt::AlignVCenter,
                             series[s].name);
            right -= width;
        }
    }
    return image;
}

}  // namespace orvex
