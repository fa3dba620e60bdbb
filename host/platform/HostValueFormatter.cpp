#include "HostValueFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <string>

#include "hostapi/ComError.h"

namespace orvex {

namespace {

constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 15;

// The decimals a format asks for: "0" then optionally "." and one or more "0".
int DecimalsOf(const QString& format) {
    const bool plain = format == QLatin1String("0");
    const bool withPoint = format.size() >= 3 && format.size() <= 2 + HostValueFormatter::kMaxDecimals &&
                           format.startsWith(QLatin1String("0.")) &&
                           format.count(QLatin1Char('0')) == format.size() - 1;
    if (!plain && !withPoint) {
        throw ComError(ComError::kInvalidProcedureCall, QStringLiteral("orvex.ValueFormatter"),
                       QStringLiteral("Invalid procedure call: unknown number format \"%1\"").arg(format));
    }
    return plain ? 0 : static_cast<int>(format.size()) - 2;
}

// |value| rounded to `decimals` places, halves away from zero, as the digits of the scaled integer.
// The value is first written with `significant` digits, so the rounding sees the decimal number.
std::string ScaledDigits(double value, int significant, int decimals) {
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(value),
                                       std::chars_format::scientific, significant - 1);
    const std::string text(buffer, written.ptr);  // "d.dddde+xx"
    const size_t mark = text.find('e');
    std::string digits = text.substr(0, mark);
    digits.erase(1, 1);  // the point after the first digit
    const int exponent = std::stoi(text.substr(mark + 1));
    // Digits of `digits` that lie before the point once the value is scaled by 10^decimals.
    const int kept = exponent + 1 + decimals;
    if (kept < 0) return "0";
    if (kept >= static_cast<int>(digits.size())) {
        return digits + std::string(static_cast<size_t>(kept) - digits.size(), '0');
    }
    const bool roundUp = digits[static_cast<size_t>(kept)] >= '5';
    std::string result = kept == 0 ? std::string("0") : digits.substr(0, static_cast<size_t>(kept));
    if (roundUp) {
        size_t i = result.size();
        while (i > 0 && result[i - 1] == '9') result[--i] = '0';
        if (i == 0) {
            result.insert(result.begin(), '1');
        } else {
            ++result[i - 1];
        }
    }
    return result;
}

QString FixedText(double value, int significant, int decimals) {
    std::string digits = ScaledDigits(value, significant, decimals);
    const size_t first = digits.find_first_not_of('0');
    digits.erase(0, first == std::string::npos ? digits.size() : first);
    const bool zero = digits.empty();
    if (digits.size() < static_cast<size_t>(decimals) + 1) {
        digits.insert(0, static_cast<size_t>(decimals) + 1 - digits.size(), '0');
    }
    if (decimals > 0) digits.insert(digits.size() - static_cast<size_t>(decimals), 1, '.');
    // A value that rounds to zero shows no sign.
    if (value < 0 && !zero) digits.insert(0, 1, '-');
    return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

// Digits a shown number keeps beyond its format when it holds them.
constexpr int kShownSignificant = 5;

}  // namespace

QString HostValueFormatter::FormatShown(const Variant& value, const QString& format, const QLocale& locale) {
    if (value.IsNull() || value.IsEmpty() || !value.IsNumeric() ||
        value.GetKind() == Variant::Kind::Boolean || format.isEmpty() || !std::isfinite(value.ToDouble())) {
        return Format(value, format);
    }
    const double number = value.ToDouble();
    // The decimals the value holds when written with five significant digits, trailing zeros left out.
    QString held = FixedText(number, kShownSignificant, kMaxDecimals);
    while (held.endsWith(QLatin1Char('0')) && held.contains(QLatin1Char('.'))) held.chop(1);
    const qsizetype point = held.indexOf(QLatin1Char('.'));
    const int heldDecimals = point < 0 ? 0 : static_cast<int>(held.size() - point - 1);
    const int decimals = std::max(DecimalsOf(format), heldDecimals);
    QString text =
        FixedText(number, value.GetKind() == Variant::Kind::Single ? kSingleDigits : kDoubleDigits, decimals);
    return text.replace(QLatin1Char('.'), locale.decimalPoint());
}

QString HostValueFormatter::Format(const Variant& value, const QString& format) {
    if (value.IsNull() || value.IsEmpty()) return {};
    if (!value.IsNumeric() || format.isEmpty()) return value.ToString();
    const int decimals = DecimalsOf(format);
    const double number = value.ToDouble();
    if (!std::isfinite(number)) return value.ToString();
    return FixedText(number, value.GetKind() == Variant::Kind::Single ? kSingleDigits : kDoubleDigits,
                     decimals);
}

}  // namespace orvex
