#pragma once

#include <QString>
#include <cstdint>

#include "PlugInExport.h"

namespace korotka {

// The user's locale settings by the item numbers the views ask for.
class KOROTKA_PLUGIN_EXPORT MLocale {
public:
    static constexpr int32_t kDecimalSeparator = 14;
    static constexpr int32_t kThousandSeparator = 15;

    // The setting as text; empty for an item that has no meaning here.
    static QString GetLocaleText(int32_t item);
};

}  // namespace korotka
