#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <cstdint>

#include "plugin/base/PlugInExport.h"

class QWidget;

namespace korotka {

// What the plug-in's views share: the host's screen units and colour values in Qt's terms
// (positions come in twips, colours as 0x00BBGGRR values or as system colours 0x80000000 + index
// that follow the user's palette).
class KOROTKA_PLUGIN_EXPORT MViewUtils {
public:
    static constexpr uint32_t kColourRed = 0x000000FFu;
    static constexpr uint32_t kColourDarkRed = 0x00000080u;
    static constexpr uint32_t kColourWindowBackground = 0x80000005u;
    static constexpr uint32_t kColourWindowText = 0x80000008u;
    static constexpr uint32_t kColourButtonFace = 0x8000000Fu;
    static constexpr uint32_t kColourGrayText = 0x80000011u;

    static int ToPixels(int32_t twips);
    static int32_t ToTwips(int pixels);
    static QColor ToColor(uint32_t colour, const QPalette& palette);
};

}  // namespace korotka
