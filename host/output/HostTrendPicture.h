#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QStringList>
#include <optional>

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

    // A null image when there is no value or a number is not finite. With captions (one per value,
    // e.g. the dates), the first and last are written under the line and the limits beside the band.
    static QImage Draw(const QList<double>& values, std::optional<double> low, std::optional<double> high,
                       QSize size = QSize(kWidth, kHeight), const QStringList& captions = {});
};

}  // namespace orvex
