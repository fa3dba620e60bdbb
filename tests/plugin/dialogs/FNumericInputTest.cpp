#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>
#include <vector>

#include "../views/ViewsFixture.h"
#include "hostapi/GuideWindowNames.h"
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
    // What the note under the box says; empty while it is hidden.
    QString Note() const {
        const auto* note = dialog->findChild<QLabel*>(orvex::GuideWindowNames::kRefusalNote);
        return note != nullptr && !note->isHidden() ? note->text() : QString();
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

TEST_F(NumericInput, EveryKeyGoesInAndTheNoteSaysWhyTheTextIsRefused) {
    Prepare(QString(), 0, 0.0f, 1000.0f);
    dialog->SetUnits(QStringLiteral("seconds"));
    EXPECT_EQ(Note(), QString()) << "an empty box is not yet typed into";
    Type(box, QStringLiteral("1.5e2"));
    EXPECT_EQ(box->text(), QStringLiteral("1.5e2"));
    EXPECT_EQ(Note(), QStringLiteral("Not a number. Legal Range: 0-1000 seconds"));
    box->setText(QStringLiteral("1.5"));
    EXPECT_EQ(Note(), QStringLiteral("Too many decimals, at most 0. Legal Range: 0-1000 seconds"));
    dialog->SetDecimalPlaces(1);
    EXPECT_EQ(Note(), QString());
    box->setText(QStringLiteral("1001"));
    EXPECT_EQ(Note(), QStringLiteral("Input is out of range. Legal Range: 0-1000 seconds"));
}

TEST_F(NumericInput, AnInitialValueIsOfferedOnlyWhenItIsANumber) {
    Prepare(QStringLiteral("12 mmHg"), 1, 0.0f, 100.0f);
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(dialog->InitialValue(), QStringLiteral("12 mmHg"));
    dialog->SetInitialValue(QStringLiteral("12"));
    box->insert(QStringLiteral("abc"));  // what a paste does: in, and refused
    EXPECT_EQ(box->text(), QStringLiteral("12abc"));
    EXPECT_TRUE(Note().startsWith(QStringLiteral("Not a number"))) << Note().toStdString();
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

TEST_F(NumericInput, OkTakesNoMoreThanTheDecimalPlaces) {
    Prepare(QStringLiteral("2.35"), 1, 0.1f, 10.0f);
    dialog->show();
    PressKey(box, Qt::Key_Return, QStringLiteral("\r"));  // Enter confirms, but 2.35 is not 2.4
    EXPECT_TRUE(dialog->UserCancelled());
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_EQ(Shown().front(),
              QStringLiteral("Too many decimals, at most 1\nMinimum value: 0.1\nMaximum value: 10"));

    dialog->SetInitialValue(QStringLiteral("2.3"));
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("2.3"));
    dialog->SetInitialValue(QStringLiteral("0.1"));  // the single 0.1f is the double 0.1 rounded
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("0.1"));
    EXPECT_EQ(Shown().size(), 1);

    dialog->SetInitialValue(QString(99, u'9'));  // far beyond a single
    ok->click();
    EXPECT_EQ(Shown().size(), 2);
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
    Type(box, QStringLiteral("12,5"));
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("12,5"));
    dialog->SetInitialValue(QStringLiteral("12.5"));  // a point that cannot group thousands
    ok->click();
    EXPECT_EQ(dialog->NewValue(), QStringLiteral("12,5"));
    EXPECT_TRUE(Shown().isEmpty());
}

// How a typed text reads, in English and in German: the locale's decimal mark always, the other
// where it cannot group thousands, never an exponent, a group or a second mark.
TEST(NumberReading, TheRulesOfATypedNumber) {
    using korotka::MLocale;
    const QLocale saved;
    struct Case {
        const char* text;
        std::optional<double> english;
        std::optional<double> german;
    };
    const std::vector<Case> cases{
        {"251.5", 251.5, 251.5}, {"251,5", 251.5, 251.5}, {"-0,25", -0.25, -0.25},
        {" +7 ", 7.0, 7.0},      {".5", 0.5, 0.5},        {"5.", 5.0, 5.0},
        {"1.000", 1.0, {}},      {"1,000", {}, 1.0},      {"1234.567", 1234.567, 1234.567},
        {"0,125", 0.125, 0.125}, {"2.5e2", {}, {}},       {"1e300", {}, {}},
        {"1.000.000", {}, {}},   {"1,5.3", {}, {}},       {"", {}, {}},
        {"-", {}, {}},           {".", {}, {}},           {"nan", {}, {}},
        {"inf", {}, {}},         {"0x1F", {}, {}},        {"1 000", {}, {}},
        {"12a", {}, {}},         {"\xd9\xa1", {}, {}},
    };
    for (const QLocale& locale :
         {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::German)}) {
        QLocale::setDefault(locale);
        const bool german = locale.language() == QLocale::German;
        for (const Case& c : cases) {
            EXPECT_EQ(MLocale::ParseNumber(QString::fromUtf8(c.text)), german ? c.german : c.english)
                << c.text << (german ? " in German" : " in English");
        }
    }
    MLocale::Form form = MLocale::Form::kNumber;
    EXPECT_FALSE(MLocale::ParseNumber(QStringLiteral("1.000"), &form));
    EXPECT_EQ(form, MLocale::Form::kAmbiguous);
    // Shown as it can be typed back: never an exponent, the single's shortest decimals.
    EXPECT_EQ(MLocale::PlainText(249.6F), QStringLiteral("249,6"));
    EXPECT_EQ(MLocale::PlainText(1e7F), QStringLiteral("10000000"));
    EXPECT_EQ(MLocale::PlainText(1e-5F), QStringLiteral("0,00001"));
    EXPECT_EQ(static_cast<float>(MLocale::ParseNumber(MLocale::PlainText(-0.1F)).value_or(0.0)), -0.1F);
    QLocale::setDefault(saved);
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
