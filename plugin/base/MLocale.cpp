#include "MLocale.h"

#include <QLocale>
#include <cmath>

#include "hostapi/Variant.h"

namespace korotka {

QString MLocale::GetLocaleText(int32_t item) {
    const QLocale locale;
    switch (item) {
        case kDecimalSeparator:
            return locale.decimalPoint();
        case kThousandSeparator:
            return locale.groupSeparator();
        default:
            return {};
    }
}

QLocale MLocale::NumberLocale() {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator |
                            QLocale::OmitGroupSeparator);
    return locale;
}

std::optional<double> MLocale::ParseNumber(const QString& text) {
    bool ok = false;
    const double value = NumberLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString MLocale::PlainText(float value) {
    QString text = orvex::Variant(value).ToString();
    const QString separator = GetLocaleText(kDecimalSeparator);
    if (!separator.isEmpty()) text.replace(u'.', separator);
    return text;
}

}  // namespace korotka
