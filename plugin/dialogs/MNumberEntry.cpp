#include "MNumberEntry.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <limits>

#include "hostapi/GuideWindowNames.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/dialogs/MViewUtils.h"

namespace korotka {

namespace {

QString Reason(MLocale::Form form, int decimals, int allowed) {
    if (form == MLocale::Form::kAmbiguous) {
        return MLanguage::TranslatedOrPlain(
            QStringLiteral("20823::Ambiguous: a thousand or one? Type it without a thousands separator"));
    }
    if (form != MLocale::Form::kNumber)
        return MLanguage::TranslatedOrPlain(QStringLiteral("20822::Not a number"));
    if (allowed != MNumberEntry::kAnyDecimals && decimals > allowed) {
        return MLanguage::TranslatedOrPlain(QStringLiteral("20824::Too many decimals, at most")) + u' ' +
               QString::number(allowed);
    }
    return {};
}

}  // namespace

MNumberEntry::Judged MNumberEntry::Judge(const QString& text, float lower, float upper, const QString& unit,
                                         int decimals) {
    Judged judged;
    MLocale::Form form = MLocale::Form::kNoNumber;
    int typedDecimals = 0;
    const std::optional<double> number = MLocale::ParseNumber(text, &form, &typedDecimals);
    judged.reason = Reason(form, typedDecimals, decimals);
    if (judged.reason.isEmpty()) {
        // Beyond a single's range the conversion would be undefined, and no box takes such a value.
        const bool fits = number && std::fabs(*number) <= std::numeric_limits<float>::max();
        const float value = fits ? static_cast<float>(*number) : 0.0F;
        if (fits && lower <= value && value <= upper) {
            judged.value = value == 0.0F ? 0.0F : value;
            return judged;
        }
        judged.reason = MLanguage::TranslatedOrPlain(QStringLiteral("20174::Input is out of range"));
    }
    judged.refusal = judged.reason + QStringLiteral(". ") + RangeText(lower, upper, unit);
    return judged;
}

QString MNumberEntry::RangeText(float lower, float upper, const QString& unit) {
    return MLanguage::TranslatedOrPlain(QStringLiteral("20820::Legal Range")) + QStringLiteral(": ") +
           MLocale::PlainText(lower) + QLatin1Char('-') + MLocale::PlainText(upper) + QLatin1Char(' ') + unit;
}

QLabel* MNumberEntry::NewNote(QWidget* parent) {
    auto* note = new QLabel(parent);
    note->setObjectName(orvex::GuideWindowNames::kRefusalNote);
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, MViewUtils::ToColor(MViewUtils::kColourDarkRed, palette));
    note->setPalette(palette);
    note->hide();
    return note;
}

void MNumberEntry::ShowRefusal(QLineEdit& box, QLabel* note, const QString& refusal) {
    const bool refused = !refusal.isEmpty();
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, refused ? MViewUtils::ToColor(MViewUtils::kColourDarkRed, palette)
                                             : QApplication::palette(&box).color(QPalette::Text));
    box.setPalette(palette);
    if (note == nullptr) return;
    note->setText(refusal);
    note->setVisible(refused);
}

}  // namespace korotka
