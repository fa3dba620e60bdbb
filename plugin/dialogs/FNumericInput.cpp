#include "FNumericInput.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QValidator>
#include <cmath>
#include <limits>

#include "hostapi/HostServices.h"
#include "hostapi/Variant.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/MLocale.h"
#include "plugin/dialogs/MNumberEntry.h"
#include "plugin/dialogs/MSafeHandler.h"
#include "plugin/settings/MUtils.h"

namespace korotka {

using orvex::HostServices;

namespace {

QString DecimalSeparator() { return MLocale::GetLocaleText(MLocale::kDecimalSeparator); }

}  // namespace

// Keeps pasted or dropped text out of the box unless it is a number: the key filter alone only
// sees typed characters.
class FNumericInput::NumberValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*pos*/) const override {
        return input.isEmpty() || MLocale::ParseNumber(input) ? Acceptable : Invalid;
    }
};

FNumericInput::FNumericInput(QWidget* parent)
    : QDialog(parent),
      m_txtNumeric(new QLineEdit(this)),
      m_lblUnits(new QLabel(this)),
      m_command1(new QPushButton(QStringLiteral("20171::OK"), this)),
      m_command2(new QPushButton(QStringLiteral("20172::Cancel"), this)) {
    m_txtNumeric->setObjectName(QStringLiteral("txtNumeric"));
    m_lblUnits->setObjectName(QStringLiteral("lblUnits"));
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command2->setObjectName(QStringLiteral("Command2"));

    m_txtNumeric->setValidator(new NumberValidator(m_txtNumeric));
    m_txtNumeric->installEventFilter(this);
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
    layout->addLayout(buttons, 1, 0, 1, 2);

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

void FNumericInput::ShowRange() {
    m_txtNumeric->setToolTip(MNumberEntry::RangeText(m_minValue, m_maxValue, m_lblUnits->text()));
}

QString FNumericInput::NewValue() const { return MLocale::PlainText(m_newValue); }

bool FNumericInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtNumeric && event->type() == QEvent::KeyPress) {
        // Keys that type no character (Backspace, Tab, Enter, Escape, arrows, shortcuts) keep
        // their usual meaning; the validator keeps their results numeric.
        const QString key = static_cast<QKeyEvent*>(event)->text();
        if (!key.isEmpty() && key.front().isPrint() && !AcceptsKey(key)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Digits, and the decimal separator when decimals are allowed, as long as the box's text with the
// key appended stays a number: so no sign and at most one separator.
bool FNumericInput::AcceptsKey(const QString& key) const {
    const bool digit = key.size() == 1 && key.front() >= u'0' && key.front() <= u'9';
    const bool separator = m_decimalPlaces > 0 && key == DecimalSeparator();
    return (digit || separator) && MLocale::ParseNumber(m_txtNumeric->text() + key).has_value();
}

QString FNumericInput::OutOfRangeText() const {
    return MLanguage::Translate(QStringLiteral("20174::Input is out of range")) + u'\n' +
           MLanguage::Translate(QStringLiteral("20175::Minimum value:")) + u' ' +
           MLocale::PlainText(m_minValue) + u'\n' +
           MLanguage::Translate(QStringLiteral("20176::Maximum value:")) + u' ' +
           MLocale::PlainText(m_maxValue);
}

void FNumericInput::OnOk() {
    // An empty box is no number, and is refused like one out of range.
    const std::optional<double> typed = MLocale::ParseNumber(m_txtNumeric->text());
    const double rounded = typed ? MUtils::Round(*typed, m_decimalPlaces) : 0.0;
    // Compared as singles, so that a bound given as a single accepts the same value typed.
    const bool fits = typed && std::fabs(rounded) <= std::numeric_limits<float>::max();
    const float value = fits ? static_cast<float>(rounded) : 0.0f;
    if (fits && m_minValue <= value && value <= m_maxValue) {
        m_newValue = value;
        m_userCancelled = false;
        accept();
        return;
    }
    HostServices::Messages()->Show(OutOfRangeText(), orvex::MessageService::Icon::None,
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
    dialog.SetInitialValue(box->text());
    dialog.SetDecimalPlaces(decimalPlaces);
    dialog.SetUnits(units);
    dialog.setWindowTitle(caption);
    dialog.exec();
    if (!dialog.UserCancelled()) box->setText(dialog.NewValue());
}

}  // namespace korotka
