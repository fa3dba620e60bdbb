#include "HostTrendPicture.h"

#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "host/output/HostMarginPicture.h"

namespace orvex {

namespace {

// Width of the room for the limits' numbers, and height of the captions' line, in pixels.
constexpr int kLabelWidth = 48;
constexpr int kCaptionHeight = 16;

// Four digits tell a trend; a reading's own format is in the table beside it. Written as the
// language writes numbers (250,5 in German).
QString Number(double value) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 4);
}

// The values placed by time for a fit: each across the plot (0 to 1), the years the plot spans, and
// where the line leaves the band when that is within the plot. The plot reaches as far ahead as the
// values span, so a crossing sooner than that is drawn; a later one is only written.
struct Placement {
    QList<double> across;
    double years = 0.0;
    std::optional<double> marked;
    // The line's values at the plot's left and right edges.
    double left = 0.0;
    double right = 0.0;
};

std::optional<Placement> Placed(const HostTrendPicture::Fitted& fitted, qsizetype count) {
    constexpr double kMsPerYear = 365.2425 * 24 * 3600 * 1000;
    if (fitted.times.size() != count || count < 2 || !fitted.times.first().isValid()) return std::nullopt;
    Placement placed;
    QList<double> years;
    for (const QDateTime& when : fitted.times) {
        if (!when.isValid()) return std::nullopt;
        years << static_cast<double>(fitted.times.first().msecsTo(when)) / kMsPerYear;
    }
    const double span = *std::max_element(years.begin(), years.end());
    const double leaves = static_cast<double>(fitted.times.first().msecsTo(fitted.line.leaves)) / kMsPerYear;
    if (!(span > 0.0) || !std::isfinite(fitted.line.slope) || !std::isfinite(fitted.line.start))
        return std::nullopt;
    const auto reach = HostTrendPicture::ReachOf(span, fitted.line.leaves.isValid() ? leaves : -1.0);
    placed.years = reach.end;
    if (reach.marked) placed.marked = leaves / placed.years;
    for (const double year : years) placed.across << std::max(0.0, year) / placed.years;
    const HostDrift::Line& line = fitted.line;
    const double before =
        line.from.isValid() ? static_cast<double>(line.from.msecsTo(fitted.times.first())) / kMsPerYear : 0.0;
    placed.left = line.start + line.slope * before;
    placed.right = line.start + line.slope * (before + placed.years);
    return placed;
}

}  // namespace

HostTrendPicture::Reach HostTrendPicture::ReachOf(double span, double leaves) {
    if (leaves >= 0.0 && leaves <= 2.0 * span) return {std::max(span, leaves) * 1.05, true};
    return {span, false};
}

QImage HostTrendPicture::Draw(const QList<double>& values, std::optional<double> low,
                              std::optional<double> high, QSize size, const QStringList& captions,
                              const std::optional<Fitted>& fitted) {
    if (values.isEmpty() || size.width() < 8 || size.height() < 8) return {};
    const auto span = HostMarginPicture::Span(*std::min_element(values.begin(), values.end()),
                                              *std::max_element(values.begin(), values.end()), low, high);
    if (!span || !std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); }))
        return {};
    // Plain names, not a structured binding: the lambdas below capture them, which Clang 14 refuses.
    const double first = span->first;
    const double last = span->second;

    const bool labelled = captions.size() == values.size();
    const double scale = kScale;
    QImage image(size * kScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(11 * scale));
    painter.setFont(font);
    // Room around the line for the newest value's larger dot.
    constexpr double kEdge = 4.0;
    const double left = labelled ? kLabelWidth : kEdge;
    const double bottom = labelled ? kCaptionHeight + kEdge : kEdge;
    const QRectF plot(left * scale, kEdge * scale, (size.width() - left - 2 * kEdge) * scale,
                      (size.height() - bottom - kEdge) * scale);
    const auto y = [&](double number) {
        return plot.bottom() - (number - first) / (last - first) * plot.height();
    };
    // Where each value stands across the plot, 0 to 1: evenly by order, or by time with a fit.
    QList<double> across(values.size(), 0.5);
    for (qsizetype i = 0; values.size() > 1 && i < values.size(); ++i)
        across[i] = static_cast<double>(i) / static_cast<double>(values.size() - 1);
    const auto placed = fitted ? Placed(*fitted, values.size()) : std::nullopt;
    if (placed) across = placed->across;
    const auto x = [&](qsizetype i) { return plot.left() + plot.width() * across[i]; };

    painter.fillRect(plot, QColor(0xf2, 0xf2, 0xf2));
    if (low || high) {
        const double bandTop = high ? y(*high) : plot.top();
        const double bandBottom = low ? y(*low) : plot.bottom();
        painter.fillRect(QRectF(plot.left(), bandTop, plot.width(), bandBottom - bandTop),
                         QColor(0xc8, 0xe8, 0xc8));
    }
    // Beside the plot: the limits in green, the lowest and highest value in black, each where it
    // lies, a number that would overlap one already written left out.
    QList<double> written;
    const auto label = [&](double number, const QColor& colour) {
        const double at = y(number);
        for (const double taken : written) {
            if (std::abs(taken - at) < 12 * scale) return;
        }
        written << at;
        painter.setPen(colour);
        painter.drawText(QRectF(0, at - 8 * scale, plot.left() - 4 * scale, 16 * scale),
                         Qt::AlignRight | Qt::AlignVCenter, Number(number));
    };
    for (const auto& limit : {low, high}) {
        if (!limit) continue;
        painter.setPen(QPen(QColor(0x20, 0x60, 0x20), scale * 0.75));
        painter.drawLine(QPointF(plot.left(), y(*limit)), QPointF(plot.right(), y(*limit)));
        if (labelled) label(*limit, QColor(0x20, 0x60, 0x20));
    }
    if (labelled) {
        label(*std::min_element(values.begin(), values.end()), Qt::black);
        label(*std::max_element(values.begin(), values.end()), Qt::black);
    }

    if (placed) {
        const QColor orange(0xc0, 0x60, 0x00);
        const HostDrift::Line& fit = fitted->line;
        painter.save();
        painter.setClipRect(plot);
        painter.setPen(QPen(orange, scale, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y(placed->left)), QPointF(plot.right(), y(placed->right)));
        painter.restore();
        painter.setPen(orange);
        const std::optional<double> edge = fit.high ? high : low;
        if (edge && placed->marked) {
            const QPointF crossing(plot.left() + plot.width() * *placed->marked, y(*edge));
            painter.setPen(QPen(orange, scale * 0.75, Qt::DotLine));
            painter.drawLine(QPointF(crossing.x(), plot.top()), QPointF(crossing.x(), plot.bottom()));
            painter.setPen(Qt::NoPen);
            painter.setBrush(orange);
            painter.drawEllipse(crossing, 2.5 * scale, 2.5 * scale);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(orange);
            // Left of the mark, on the band's side of the edge, where the values are not.
            const QRectF words(plot.left(), fit.high ? crossing.y() + 2 * scale : crossing.y() - 16 * scale,
                               crossing.x() - plot.left() - 4 * scale, 14 * scale);
            painter.drawText(words, Qt::AlignRight | Qt::AlignVCenter, fitted->leaves);
        } else if (edge) {
            const QRectF words(plot.left(), fit.high ? plot.top() : plot.bottom() - 14 * scale,
                               plot.width() - 2 * scale, 14 * scale);
            painter.drawText(words, Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("\u2192 %1").arg(fitted->leaves));
        }
    }

    QPainterPath line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QPointF at(x(i), y(values[i]));
        if (i == 0) {
            line.moveTo(at);
        } else {
            line.lineTo(at);
        }
    }
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), scale));
    painter.drawPath(line);
    painter.setPen(Qt::NoPen);
    for (qsizetype i = 0; i < values.size(); ++i) {
        const bool newest = i == values.size() - 1;
        painter.setBrush(HostMarginPicture::Within(values[i], low, high) ? QColor(Qt::black)
                                                                         : QColor(0xc0, 0x00, 0x00));
        const double radius = (newest ? 3.0 : 2.0) * scale;
        painter.drawEllipse(QPointF(x(i), y(values[i])), radius, radius);
    }
    if (labelled) {
        painter.setPen(Qt::black);
        const QRectF under(plot.left(), plot.bottom() + 2 * scale, plot.width(), kCaptionHeight * scale);
        painter.drawText(under, Qt::AlignLeft | Qt::AlignTop, captions.first());
        if (values.size() > 1) painter.drawText(under, Qt::AlignRight | Qt::AlignTop, captions.last());
    }
    return image;
}

}  // namespace orvex
