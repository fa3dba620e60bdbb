#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSize>
#include <QStringList>
#include <optional>

#include "host/archive/HostDrift.h"
#include "host/platform/HostExport.h"

namespace orvex {

// A reading over an asset's visits, oldest left: the allowed band in green (open towards a side
// without a limit), each visit's value as a dot joined by a line, black inside the band and red
// outside it, the newest one larger. Whether a unit creeps towards its limit, at a glance.
class ORVEX_HOST_EXPORT HostTrendPicture {
public:
    // Size in the report, in pixels at 96 dpi; drawn at kScale times that for print.
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 36;
    static constexpr int kScale = 4;

    // A line fitted through the values, drawn dashed with the values placed by their times: where
    // it leaves the band is marked and written (`leaves`, e.g. the month); a crossing further ahead
    // than the values span is written at the right edge instead, so the values keep the room.
    struct Fitted {
        QList<QDateTime> times;
        HostDrift::Line line;
        QString leaves;
    };

    // How far a trend drawn over `span` from its first point reaches (in span's unit), and whether
    // the line's crossing at `leaves` (the same unit) is marked: one no further ahead than the
    // points span again is, with a little room past it; a later one is only written, so the points
    // keep the room.
    struct Reach {
        double end = 0.0;
        bool marked = false;
    };
    static Reach ReachOf(double span, double leaves);

    // A null image when there is no value or a number is not finite. With captions (one per value,
    // e.g. the dates), the first and last are written under the line and the limits beside the band.
    // A fit whose times do not match the values, or span no time, is not drawn.
    static QImage Draw(const QList<double>& values, std::optional<double> low, std::optional<double> high,
                       QSize size = QSize(kWidth, kHeight), const QStringList& captions = {},
                       const std::optional<Fitted>& fitted = std::nullopt);
};

}  // namespace orvex
