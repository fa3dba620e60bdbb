#include "MNumberEntry.h"

#include <QApplication>
#include <QLineEdit>
#include <cmath>
#include <limits>

#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/dialogs/MViewUtils.h"

namespace korotka {

std::optional<float> MNumberEntry::Read(const QString& text, float lower, float upper) {
    const std::optional<double> number = MLocale::ParseNumber(text);
    // Beyond a single's range the conversion would be undefined, and no box takes such a value.
    if (!number || !(std::fabs(*number) <= std::numeric_limits<float>::max())) return std::nullopt;
    const auto value = static_cast<float>(*number);
    if (!(lower <= value && value <= upper)) return std::nullopt;
    // "-0" is recorded as 0.
    return value == 0.0F ? 0.0F : value;
}

QString MNumberEntry::RangeText(float lower, float upper, const QString& unit) {
    return MLanguage::TranslatedOrPlain(QStringLiteral("20820::Legal Range")) + QStringLiteral(": ") +
           MLocale::PlainText(lower) + QLatin1Char('-') + MLocale::PlainText(upper) + QLatin1Char(' ') + unit;
}

void MNumberEntry::ShowRefused(QLineEdit& box, bool refused) {
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, refused ? MViewUtils::ToColor(MViewUtils::kColourDarkRed, palette)
                                             : QApplication::palette(&box).color(QPalette::Text));
    box.setPalette(palette);
}

}  // namespace korotka
