#include "FNumericInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>
#include <limits>

#include "hostapi/HostServices.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/dialogs/MNumberEntry.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/settings/MUtils.h"

namespace korotka {

using orvex::HostServices;

FNumericInput::FNumericInput(QWidget* parent)
    : QDialog(parent),
      m_txtNumeric(new QLineEdit(this)),
      m_lblUnits(new QLabel(this)),
      m_lblRefusal(MNumberEntry::NewNote(this)),
      m_command1(new QPushButton(QStringLiteral("20171::OK"), this)),
      m_command2(new QPushButton(QStringLiteral("20172::Cancel"), this)) {
    m_txtNumeric->setObjectName(QStringLiteral("txtNumeric"));
    m_lblUnits->setObjectName(QStringLiteral("lblUnits"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2->setObjectName(QStringLiteral("Command2"));

    connect(m_txtNumeric, &QLineEdit::textChanged, this,
            MSafeHandler::Guarded("typing a number", [this] { ShowRange(); }));
    m_command1->setDefault(true);
    m_command2->setAutoDefault(false);
    connect(m_command1, &QPushButton::clicked, this,
            MSafeHandler::Guarded("confirming a number", [this] { OnOk(); }));
    connect(m_command2, &QPushButton::clicked, this,
            MSafeHandler::Guarded("cancelling a number", [this] { OnCancel(); }));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_txtNumeric, 0, 0);
    layout->addWidget(m_lblUnits, 0, 1);
    layout->addWidget(m_lblRefusal, 1, 0, 1, 2);
    layout->addLayout(buttons, 2, 0, 1, 2);

    setWindowTitle(MLanguage::Translate(QStringLiteral("20170::Edit Inflate Pressure")));
    HostServices::Language()->TranslateControls(MLanguage::kPlugInId, this);
    ShowRange();
}

void FNumericInput::SetMaxValue(float value) {
    m_maxValue = value;
    ShowRange();
}

void FNumericInput::SetMinValue(float value) {
    m_minValue = value;
    ShowRange();
}

void FNumericInput::SetInitialValue(const QString& value) {
    m_initialValue = value;
    m_txtNumeric->setText(value.isEmpty() || MLocale::ParseNumber(value) ? value : QString());
}

QString FNumericInput::Units() const { return m_lblUnits->text(); }

void FNumericInput::SetUnits(const QString& units) {
    m_lblUnits->setText(units);
    ShowRange();
}

void FNumericInput::SetDecimalPlaces(int16_t places) {
    m_decimalPlaces = places;
    ShowRange();
}

void FNumericInput::ShowRange() {
    m_txtNumeric->setToolTip(MNumberEntry::RangeText(m_minValue, m_maxValue, m_lblUnits->text()));
    // An empty box is not yet typed into: OK refuses it with a message.
    const QString text = m_txtNumeric->text();
    MNumberEntry::ShowRefusal(
        *m_txtNumeric, m_lblRefusal,
        text.isEmpty()
            ? QString()
            : MNumberEntry::Judge(text, m_minValue, m_maxValue, m_lblUnits->text(), m_decimalPlaces).refusal);
    // The dialog grows to show the note whole, and shrinks again without it.
    if (isVisible()) adjustSize();
}

QString FNumericInput::NewValue() const { return MLocale::PlainText(m_newValue); }

QString FNumericInput::RefusalText(const QString& reason) const {
    return reason + u'\n' + MLanguage::Translate(QStringLiteral("20175::Minimum value:")) + u' ' +
           MLocale::PlainText(m_minValue) + u'\n' +
           MLanguage::Translate(QStringLiteral("20176::Maximum value:")) + u' ' +
           MLocale::PlainText(m_maxValue);
}

void FNumericInput::OnOk() {
    const MNumberEntry::Judged judged = MNumberEntry::Judge(m_txtNumeric->text(), m_minValue, m_maxValue,
                                                            m_lblUnits->text(), m_decimalPlaces);
    if (judged.value) {
        m_newValue = *judged.value;
        m_userCancelled = false;
        accept();
        return;
    }
    HostServices::Messages()->Show(RefusalText(judged.reason), orvex::MessageService::Icon::None,
                                   orvex::MessageService::Buttons::Ok, windowTitle());
}

void FNumericInput::OnCancel() {
    m_userCancelled = true;
    reject();
}

void FNumericInput::EditNumber(QLineEdit* box, const QString& units, const QString& caption,
                               int16_t decimalPlaces, float minimum, float maximum) {
    if (box == nullptr) return;
    FNumericInput dialog(box->window());
    dialog.SetMinValue(minimum);
    dialog.SetMaxValue(maximum);
    // A stored value may have more decimals than the dialog takes: it offers the nearest it takes.
    const std::optional<double> shown = MLocale::ParseNumber(box->text());
    const bool fits = shown && std::fabs(*shown) <= std::numeric_limits<float>::max();
    dialog.SetInitialValue(fits ? MLocale::PlainText(static_cast<float>(MUtils::Round(*shown, decimalPlaces)))
                                : box->text());
    dialog.SetDecimalPlaces(decimalPlaces);
    dialog.SetUnits(units);
    dialog.setWindowTitle(caption);
    dialog.exec();
    if (!dialog.UserCancelled()) box->setText(dialog.NewValue());
}

}  // namespace korotka
