#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

#include "PlugInExport.h"

namespace korotka {

// The user's locale settings by the item numbers the views ask for.
class KOROTKA_PLUGIN_EXPORT MLocale {
public:
    static constexpr int32_t kDecimalSeparator = 14;
    static constexpr int32_t kThousandSeparator = 15;

    // The setting as text; empty for an item that has no meaning here.
    static QString GetLocaleText(int32_t item);

    // The user's locale, reading and writing numbers without group separators, so that "12.5"
    // typed where "." groups thousands is never taken for 125.
    static QLocale NumberLocale();
    // The text as a number of the user's locale; none when it is not a finite number.
    static std::optional<double> ParseNumber(const QString& text);
    // The single's plain text form ("33.3", "1E+07") with the user's decimal separator, so that
    // a value can be typed back as shown.
    static QString PlainText(float value);
};

}  // namespace korotka
