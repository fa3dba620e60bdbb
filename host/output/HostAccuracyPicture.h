#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <optional>

#include "host/archive/HostStaticPoints.h"
#include "host/platform/HostExport.h"

namespace orvex {

// How far a monitor reads off over its range: at each reference pressure (across) the difference
// the monitor showed (up), against the band its limits allow, each point in the colour of its
// verdict. One visit, or several of an asset over each other, the newest on top and the older
// ones paler: a monitor that drifts high at the top of its range shows at once.
class ORVEX_HOST_EXPORT HostAccuracyPicture {
public:
    // Size on the page, in pixels at 96 dpi; drawn at kScale times that for print.
    static constexpr int kWidth = 660;
    static constexpr int kHeight = 250;
    static constexpr int kScale = 3;

    struct Point {
        double reference = 0;
        double difference = 0;
        // The band the difference must lie in here; a side without a limit is open.
        std::optional<double> low;
        std::optional<double> high;
        // The verdict word ("passed", "failed", ...) that colours the point.
        QString status;
    };
    // The points of one visit, named in the legend (e.g. by its date) when there are several.
    struct Series {
        QString name;
        QList<Point> points;
    };
    // The axes' captions, their unit included ("Korotka (mmHg)", "Monitor - Korotka (mmHg)").
    struct Axes {
        QString reference;
        QString difference;
    };

    // Series oldest first; the band drawn is the newest series'. A null image when no series holds
    // a point with finite numbers or the size is too small to draw in.
    static QImage Draw(const QList<Series>& series, const QString& title, const Axes& axes,
                       QSize size = QSize(kWidth, kHeight));
    // A visit's static points that hold a reference and a difference, as a series of that name.
    static Series SeriesOf(const QList<HostStaticPoints::Point>& points, const QString& name = {});
};

}  // namespace orvex
