#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "plugin/base/PlugInExport.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace korotka {

// Modal dialog in which the technician types one number within a range, with at most
// DecimalPlaces decimals. Every key goes into the box; a text it does not take is refused aloud,
// by a note under the box while typing and a message on OK. Read NewValue after it closes, unless
// UserCancelled.
class KOROTKA_PLUGIN_EXPORT FNumericInput : public QDialog {
    Q_OBJECT

public:
    explicit FNumericInput(QWidget* parent = nullptr);

    float MaxValue() const { return m_maxValue; }
    void SetMaxValue(float value);
    float MinValue() const { return m_minValue; }
    void SetMinValue(float value);
    QString InitialValue() const { return m_initialValue; }
    // Also puts the text into the input box when it is a number there.
    void SetInitialValue(const QString& value);
    QString Units() const;
    void SetUnits(const QString& units);
    int16_t DecimalPlaces() const { return m_decimalPlaces; }
    void SetDecimalPlaces(int16_t places);
    // The accepted value in its plain text form, with the user's decimal separator.
    QString NewValue() const;
    bool UserCancelled() const { return m_userCancelled; }

    // The numeric-edit routine of the configuration views: lets the technician type a new value
    // for the box and writes it into the box unless the dialog was cancelled. The caption is
    // shown as given; the box's number is offered in the decimals the dialog takes.
    static void EditNumber(QLineEdit* box, const QString& units, const QString& caption,
                           int16_t decimalPlaces, float minimum, float maximum);

private:
    // The input box's tool-tip tells the range it takes, its note why it refuses its text.
    void ShowRange();
    // Why the box refuses its text, the bounds on lines of their own.
    QString RefusalText(const QString& reason) const;
    void OnOk();
    void OnCancel();

    QLineEdit* m_txtNumeric;
    QLabel* m_lblUnits;
    QLabel* m_lblRefusal;
    QPushButton* m_command1;
    QPushButton* m_command2;
    float m_maxValue = 0.0f;
    float m_minValue = 0.0f;
    QString m_initialValue;
    int16_t m_decimalPlaces = 0;
    float m_newValue = 0.0f;
    bool m_userCancelled = true;
};

}  // namespace korotka
