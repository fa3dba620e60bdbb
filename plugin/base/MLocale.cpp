#include "MLocale.h"

#include <QLocale>

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

}  // namespace korotka
