#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "../views/ViewsFixture.h"
#include "plugin/base/MLocale.h"
#include "plugin/dialogs/FNumericInput.h"

using korotka::FNumericInput;

namespace {

class NumericInput : public ViewsFixture {
protected:
    void SetUp() override {
        ViewsFixture::SetUp();
        dialog = std::make_unique<FNumericInput>();
        box = dialog->findChild<QLineEdit*>(QStringLiteral("txtNumeric"));
        ok = dialog->findChild<QPushButton*>(QStringLiteral("Command1"));
        cancel = dialog->findChild<QPushButton*>(QStringLiteral("Command2"));
        ASSERT_TRUE(box && ok && cancel);
    }
    void TearDown() override {
        dialog.reset();
        ViewsFixture::TearDown();
    }
    void Prepare(const QString& initial, int16_t decimals, float minimum, float maximum) {
        dialog->SetMinValue(minimum);
        dialog->SetMaxValue(maximum);
        dialog->SetInitialValue(initial);
        dialog->SetDecimalPlaces(decimals);
    }
    // The texts of the message boxes shown so far.
    QStringList Shown() const {
        QStringList texts;
        for (const auto& message : messages->Shown()) texts.append(message.text);
        return texts;
    }

    std::unique_ptr<FNumericInput> dialog;
    QLineEdit* box = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

TEST_F(NumericInput, CaptionsAreTranslatedWhenCreated) {
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Edit Inflate Pressure"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_TRUE(dialog->UserCancelled());

    LoadLanguage("20170=Aufblasdruck bearbeiten\n20171=Übernehmen\n20172=Abbrechen\n");
    FNumericInput translated;
    EXPECT_EQ(translated.findChild<QPushButton*>(QStringLiteral("Command1"))->text(),
              QStringLiteral("Übernehmen"));
    EXPECT_EQ(translated.findChild<QPushButton*>(QStringLiteral("Command2"))->text(),
              QStringLiteral("Abbrechen"));
    EXPECT_EQ(translated.windowTitle(), QStringLiteral("Aufblasdruck bearbeiten"));
}

TEST_F(NumericInput, KeysTypeOnlyDigitsAndOneSeparator) {
    Prepare(QString(), 0, 0.0f, 1000.0f);
    Type(box, QStringLiteral("-+1.5e a"));
    EXPECT_EQ(box->text(), QStringLiteral("15"));

    dialog->SetDecimalPlaces(1);
    Type(box, QStringLiteral(".2.3"));
    EXPECT_EQ(box->text(), QStringLiteral("15.23"));
    PressKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
    PressKey(box, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(box->text(), QStringLiteral("15."));
}

TEST_F(NumericInput, BoxNeverHoldsTextThatIsNoNumber) {
    Prepare(QStringLiteral("12 mmHg"), 1, 0.0f, 100.0f);
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(dialog->InitialValue(), QStringLiteral("12 mmHg"));
    dialog->SetInitialValue(QStringLiteral("12"));
    box->insert(QStringLiteral("abc"));  // what a paste does
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    box->insert(QStringLiteral("1,000"));
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    box->insert(QStringLiteral("5"));
    EXPECT_EQ(box->text(), QStringLiteral("125"));
}

TEST_F(NumericInput, OkAcceptsTheBoundsAndRefusesValuesOutsideThem) {
    Prepare(QStringLiteral("12"), 0, 10.0f, 100.0f);
    dialog->show();
    Type(box, QStringLiteral("7"));
    EXPECT_EQ(box->text(), QStringLiteral("127"));
    ok->click();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_EQ(Shown().front(),
              QStringLiteral("Input is out of range\nMinimum value: 10\nMaximum value: 100"));
    EXPECT_EQ(messages->Shown().front().title, QStringLiteral("Edit Inflate Pressure"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->UserCancelled());

    for (const QString& bound : {QStringLiteral("10"), QStringLiteral("100")}) {
        dialog->SetInitialValue(bound);
        ok->click();
        EXPECT_FALSE(dialog->UserCancelled()) << bound.toStdString();
        EXPECT_EQ(dialog->NewValue(), bound);
    }
    EXPECT_EQ(Shown().size(), 1);

    // The message is in the technician's language.
    LoadLanguage("20174=Eingabe außerhalb des Bereichs\n20175=Kleinster Wert:\n20176=Größter Wert:\n");
    dialog->SetInitialValue(QStringLiteral("101"));
    ok->click();
    ASSERT_EQ(Shown().size(), 2);
    EXPECT_EQ(Shown().back(),
              QStringLiteral("Eingabe außerhalb des Bereichs\nKleinster Wert: 10\nGrößter Wert: 100"));
}

TEST_F(NumericInput, OkRoundsToTheDecimalPlaces) {
    Prepare(QStringLiteral("2.35"), 1, 0.1f, 10.0f);
    dialog->show();
    PressKey(box, Qt::Key_Return, QStringLiteral("\r"));  // Enter confirms
    EXPECT_FALSE(dialog->UserCancelled());
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("2.4"));

    dialog->SetInitialValue(QStringLiteral("10.04"));  // rounds onto the upper bound
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("10"));
    dialog->SetInitialValue(QStringLiteral("0.1"));  // the single 0.1f is the double 0.1 rounded
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("0.1"));
    EXPECT_TRUE(Shown().isEmpty());

    dialog->SetInitialValue(QString(99, u'9'));  // far beyond a single
    ok->click();
    EXPECT_EQ(Shown().size(), 1);
}

TEST_F(NumericInput, AnEmptyBoxIsNoNumberAndTheToolTipTellsTheRange) {
    Prepare(QString(), 0, 0.0f, 300.0f);
    dialog->SetUnits(QStringLiteral("seconds"));
    EXPECT_EQ(box->toolTip(), QStringLiteral("Legal Range: 0-300 seconds"));
    dialog->show();
    ok->click();
    EXPECT_EQ(Shown().size(), 1) << "never read as 0";
    EXPECT_TRUE(dialog->UserCancelled());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(NumericInput, CancelLeavesTheDialogCancelled) {
    Prepare(QStringLiteral("50"), 0, 0.0f, 100.0f);
    cancel->click();
    EXPECT_TRUE(dialog->UserCancelled());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(NumericInput, TheUsersDecimalSeparatorIsTheOneTyped) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(korotka::MLocale::GetLocaleText(korotka::MLocale::kDecimalSeparator), QStringLiteral(","));
    Prepare(QString(), 1, 0.0f, 20.0f);
    Type(box, QStringLiteral("1.2,5,"));
    EXPECT_EQ(box->text(), QStringLiteral("12,5"));
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("12,5"));
}

class EditNumber : public ViewsFixture {
protected:
    // Plays the technician in the modal dialog once it is up.
    template <class Act>
    void WhenDialogOpens(Act act) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<FNumericInput*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "no dialog";
                return;
            }
            act(*dialog);
        });
    }
};

TEST_F(EditNumber, WritesTheConfirmedValueBackOnly) {
    QLineEdit box(QStringLiteral("12"));
    WhenDialogOpens([](FNumericInput& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Duration"));
        EXPECT_EQ(dialog.Units(), QStringLiteral("seconds"));
        auto* input = dialog.findChild<QLineEdit*>(QStringLiteral("txtNumeric"));
        EXPECT_EQ(input->text(), QStringLiteral("12"));
        Type(input, QStringLiteral("5"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    FNumericInput::EditNumber(&box, QStringLiteral("seconds"), QStringLiteral("Edit Duration"), 0, 0.0f,
                              300.0f);
    EXPECT_EQ(box.text(), QStringLiteral("125"));

    WhenDialogOpens([](FNumericInput& dialog) {
        Type(dialog.findChild<QLineEdit*>(QStringLiteral("txtNumeric")), QStringLiteral("0"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    FNumericInput::EditNumber(&box, QStringLiteral("seconds"), QStringLiteral("Edit Duration"), 0, 0.0f,
                              300.0f);
    EXPECT_EQ(box.text(), QStringLiteral("125"));
}

}  // namespace
