#include "MViewUtils.h"

#include <exception>

namespace korotka {

namespace {

// Twips per screen pixel at 96 dpi.
constexpr int32_t kTwipsPerPixel = 15;
constexpr uint32_t kSystemColourFlag = 0x80000000u;

// The palette role that plays the part of a system colour index; an index without a
// counterpart gets the window background.
QPalette::ColorRole RoleOf(uint32_t index) {
    switch (index) {
        case 5:
            return QPalette::Base;  // window background
        case 8:
            return QPalette::Text;  // window text
        case 13:
            return QPalette::Highlight;
        case 14:
            return QPalette::HighlightedText;
        case 15:
            return QPalette::Button;  // button face
        case 16:
            return QPalette::Dark;  // button shadow
        case 17:
            return QPalette::PlaceholderText;  // grey text
        case 18:
            return QPalette::ButtonText;
        case 20:
            return QPalette::Light;  // button highlight
        case 21:
            return QPalette::Shadow;
        case 23:
            return QPalette::ToolTipText;
        case 24:
            return QPalette::ToolTipBase;
        default:
            return QPalette::Base;
    }
}

}  // namespace

int MViewUtils::ToPixels(int32_t twips) { return twips / kTwipsPerPixel; }

int32_t MViewUtils::ToTwips(int pixels) { return pixels * kTwipsPerPixel; }

QColor MViewUtils::ToColor(uint32_t colour, const QPalette& palette) {
    if ((colour & kSystemColourFlag) != 0) return palette.color(RoleOf(colour & ~kSystemColourFlag));
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

}  // namespace korotka
