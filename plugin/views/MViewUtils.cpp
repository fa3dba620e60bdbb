#include "MViewUtils.h"

#include <exception>

#include "hostapi/HostServices.h"
#include "plugin/frame/CPlugInKorotka.h"

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

QColor MViewUtils::ToColor(uint32_t colour, const QPalette& palette) {
    if ((colour & kSystemColourFlag) != 0) return palette.color(RoleOf(colour & ~kSystemColourFlag));
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

void MViewUtils::TranslateCaptions(QWidget* view) {
    try {
        orvex::HostServices::Language()->TranslateControls(CPlugInKorotka::kPlugInId, view);
    } catch (const std::exception&) {
        // The design-time captions stay.
    }
}

QString MViewUtils::Translate(const QString& literal) {
    try {
        return orvex::HostServices::Language()->GetText(CPlugInKorotka::kPlugInId, literal, {});
    } catch (const std::exception&) {
        const qsizetype separator = literal.indexOf(QLatin1String("::"));
        return separator < 0 ? literal : literal.mid(separator + 2);
    }
}

}  // namespace korotka
