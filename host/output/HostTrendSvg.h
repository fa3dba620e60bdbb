#pragma once

#include <QString>

#include "host/archive/HostFleet.h"
#include "host/platform/HostExport.h"

namespace orvex {

// A small picture of one reading over time for a web page, as inline SVG: the points, the band its
// limits allow (shaded, with its edges), the fitted line and the month it leaves the band. Styled by
// the page's classes (frame, band, edge, path, out, fit, leaves, axis; a point is a bare circle);
// every text escaped.
class ORVEX_HOST_EXPORT HostTrendSvg {
public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 160;

    // A trend of fewer than two points, or of values too far apart to draw, is said in words.
    static QString Svg(const HostFleet::Trend& trend);
};

}  // namespace orvex
