#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

#include "PlugInExport.h"

namespace korotka {

// The user's locale settings by the item numbers the views ask for. The host sets the default
// locale to the language of its windows, so these follow the language the technician reads.
class KOROTKA_PLUGIN_EXPORT MLocale {
public:
    static constexpr int32_t kDecimalSeparator = 14;
    static constexpr int32_t kThousandSeparator = 15;

    // How a typed text reads as a number.
    enum class Form {
        kNumber,
        // Not digits with at most one decimal mark (letters, an exponent, two marks, nothing).
        kNoNumber,
        // "1.000" where "," is the decimal mark, "1,000" where it is ".": a thousand or one.
        kAmbiguous,
    };

    // The setting as text; empty for an item that has no meaning here.
    static QString GetLocaleText(int32_t item);

    // The user's locale, reading and writing numbers without group separators.
    static QLocale NumberLocale();
    // The text as a number, what it is when it is none, and the count of its decimals. A number is
    // an optional sign, digits and at most one decimal mark: the user's decimal separator, or the
    // other of "." and "," unless it could group thousands (a 1-3 digit start, then three digits).
    // No exponent and no group separator: a gauge shows neither, so such a text is a slip.
    static std::optional<double> ParseNumber(const QString& text, Form* form = nullptr,
                                             int* decimals = nullptr);
    // The single in the shortest plain decimals that read back as it ("33.3", "10000000",
    // "0.00001"), with the user's decimal separator: a value is shown as it can be typed back.
    static QString PlainText(float value);
};

}  // namespace korotka
