#include "MLocale.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <iterator>

namespace korotka {

namespace {

constexpr QChar kPoint = u'.';
constexpr QChar kComma = u',';
constexpr QChar kMinus = u'-';
// The typographic minus some keyboards and locales give.
constexpr QChar kMinusSign = QChar(0x2212);

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// A start of one to three digits, not led by 0, and then exactly three: how a group looks.
bool CouldGroupThousands(QStringView whole, QStringView fraction) {
    return fraction.size() == 3 && !whole.isEmpty() && whole.size() <= 3 && whole.front() != u'0';
}

}  // namespace

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

std::optional<double> MLocale::ParseNumber(const QString& text, Form* form, int* decimals) {
    Form read = Form::kNoNumber;
    if (form == nullptr) form = &read;
    *form = Form::kNoNumber;
    const QString separator = GetLocaleText(kDecimalSeparator);
    const QString negative = QLocale().negativeSign();
    QStringView rest = QStringView(text).trimmed();
    QString plain;  // the number in the C locale's form
    for (const QString& sign : {negative, QString(kMinus), QString(kMinusSign), QStringLiteral("+")}) {
        if (sign.isEmpty() || !rest.startsWith(sign)) continue;
        if (sign != QStringLiteral("+")) plain = kMinus;
        rest = rest.mid(sign.size());
        break;
    }
    qsizetype mark = -1;
    qsizetype markSize = 0;
    bool own = false;  // the mark is the user's decimal separator
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (IsDigit(rest[i])) continue;
        const bool isOwn = !separator.isEmpty() && rest.mid(i).startsWith(separator);
        if (mark >= 0 || (!isOwn && rest[i] != kPoint && rest[i] != kComma)) return std::nullopt;
        mark = i;
        own = isOwn;
        markSize = isOwn ? separator.size() : 1;
        i += markSize - 1;
    }
    const QStringView whole = mark < 0 ? rest : rest.left(mark);
    const QStringView fraction = mark < 0 ? QStringView() : rest.mid(mark + markSize);
    if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
    if (mark >= 0 && !own && CouldGroupThousands(whole, fraction)) {
        *form = Form::kAmbiguous;
        return std::nullopt;
    }
    plain += whole.isEmpty() ? QStringLiteral("0") : whole.toString();
    if (!fraction.isEmpty()) plain += kPoint + fraction.toString();
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    *form = Form::kNumber;
    if (decimals != nullptr) *decimals = static_cast<int>(fraction.size());
    return value;
}

QString MLocale::PlainText(float value) {
    if (value == 0.0F) return QStringLiteral("0");  // -0 too
    char buffer[64];
    const auto written = std::to_chars(std::begin(buffer), std::end(buffer), value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    const QString separator = GetLocaleText(kDecimalSeparator);
    if (!separator.isEmpty()) text.replace(kPoint, separator);
    return text;
}

}  // namespace korotka
