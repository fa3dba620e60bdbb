#pragma once

#include <QImage>
#include <optional>
#include <utility>

#include "host/platform/HostExport.h"

namespace orvex {

// A small picture of where a reading lies between its low and high limit: the allowed band in
// green (open towards a side without a limit), the limits as ticks, the reading as a marker, black
// inside the band and red outside it. The margin a technician wants to see at a glance.
class ORVEX_HOST_EXPORT HostMarginPicture {
public:
    // Size on the page, in pixels at 96 dpi; drawn at kScale times that for print.
    static constexpr int kWidth = 150;
    static constexpr int kHeight = 14;
    static constexpr int kScale = 4;

    // A null image when there is no limit or a number is not finite.
    static QImage Draw(double value, std::optional<double> low, std::optional<double> high);
    static bool Within(double value, std::optional<double> low, std::optional<double> high);
    // The numbers a picture of values from lowest to highest spans: they and the limits, with
    // room around them so a value on a limit stays visible, reaching further past a side without
    // a limit. None when a number is not finite.
    static std::optional<std::pair<double, double>> Span(double lowest, double highest,
                                                         std::optional<double> low,
                                                         std::optional<double> high);
};

}  // namespace orvex
