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

}  // namespace

QImage HostTrendPicture::Draw(const QList<double>& values, std::optional<double> low,
                              std::optional<double> high, QSize size, const QStringList& captions) {
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
    const auto x = [&](qsizetype i) {
        return values.size() == 1 ? plot.center().x()
                                  : plot.left() + plot.width() * static_cast<double>(i) /
                                                      static_cast<double>(values.size() - 1);
    };

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
