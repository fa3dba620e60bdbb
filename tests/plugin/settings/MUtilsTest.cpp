#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <climits>
#include <cmath>
#include <limits>

#include "../views/ViewsFixture.h"
#include "FakeRegistry.h"
#include "plugin/settings/MUtils.h"
#include "plugin/views/FNumericInput.h"

using korotka::MUtils;
using orvex::Variant;

namespace {

const QString kTimeouts = QStringLiteral("Software\\Marrick\\Orvex\\Korotka\\Timeouts");

class MUtilsSettings : public ::testing::Test {
protected:
    void SetSeconds(const QString& suffix, const Variant& value) {
        store->values.insert(kTimeouts + suffix + QStringLiteral("\\Seconds"), value);
    }
    int32_t ReadWith(const QString& suffix, const Variant& value) {
        SetSeconds(suffix, value);
        return MUtils::ReadTimeout(suffix);
    }

    std::shared_ptr<FakeRegistry::Store> store = FakeRegistry::Install();
};

TEST_F(MUtilsSettings, TimeoutsOutsideTheirRangeTakeTheDefault) {
    EXPECT_EQ(MUtils::ReadTimeout(QStringLiteral("\\Comm")), 4);  // absent
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 9), 4);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 8), 8);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Leak"), 200), 200);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Leak"), 201), 120);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Vent"), 19), 30);
    for (const QString& suffix : {QStringLiteral("\\Relief"), QStringLiteral("\\PSource")}) {
        EXPECT_EQ(MUtils::ReadTimeout(suffix), 50) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 30), 30) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 120), 120) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 121), 50) << suffix.toStdString();
    }
    EXPECT_EQ(ReadWith(QStringLiteral("\\Other"), 5), 120);
    EXPECT_EQ(MUtils::ReadTimeout(QString()), 120);
}

TEST_F(MUtilsSettings, UnreadableValuesCountAsAbsent) {
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), "6"), 6);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), "six"), 4);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 1e300), 4);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), Variant::Null()), 4);

    const QString unitValue = QStringLiteral("Software\\Marrick\\Orvex\\Korotka\\PressureUnit");
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);
    store->values.insert(unitValue, 3);
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 3);
    store->values.insert(unitValue, 5e9);
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);

    // A registry reader the host cannot create.
    orvex::ComponentRegistry::Instance().Register(QStringLiteral("OrvexTypeLib.Registry"),
                                                  [] { return nullptr; });
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);
    EXPECT_EQ(MUtils::ReadTimeout(QStringLiteral("\\Leak")), 120);
}

TEST_F(MUtilsSettings, LoadTimeoutsReadsAllFiveInOrder) {
    SetSeconds(QStringLiteral("\\Comm"), 6);
    SetSeconds(QStringLiteral("\\Leak"), 150);
    SetSeconds(QStringLiteral("\\Vent"), 25);
    SetSeconds(QStringLiteral("\\Relief"), 60);
    SetSeconds(QStringLiteral("\\PSource"), 70);
    MUtils::LoadTimeouts();
    EXPECT_EQ(MUtils::CommTimeout(), 6);
    EXPECT_EQ(MUtils::LeakTimeout(), 150);
    EXPECT_EQ(MUtils::VentTimeout(), 25);
    EXPECT_EQ(MUtils::ReliefTimeout(), 60);
    EXPECT_EQ(MUtils::PSourceTimeout(), 70);
    const QStringList order{kTimeouts + "\\Comm", kTimeouts + "\\Leak", kTimeouts + "\\Vent",
                            kTimeouts + "\\Relief", kTimeouts + "\\PSource"};
    EXPECT_EQ(store->openedKeys, order);

    // Back to the defaults for whatever runs next in this process.
    store->values.clear();
    MUtils::LoadTimeouts();
    EXPECT_EQ(MUtils::CommTimeout(), 4);
    EXPECT_EQ(MUtils::PSourceTimeout(), 50);
}

TEST(MUtilsRound, HalvesRoundAwayFromZeroAndExtremesStayDefined) {
    EXPECT_DOUBLE_EQ(MUtils::Round(2.345, 2), 2.35);
    EXPECT_EQ(MUtils::Round(-2.5, 0), -3.0);
    EXPECT_EQ(MUtils::Round(0.5, 0), 1.0);
    EXPECT_DOUBLE_EQ(MUtils::Round(1250.0, -2), 1300.0);

    constexpr double kMax = std::numeric_limits<double>::max();
    EXPECT_EQ(MUtils::Round(1e300, 2), 1e300);
    EXPECT_EQ(MUtils::Round(-kMax, 0), -kMax);
    EXPECT_EQ(MUtils::Round(kMax, -308), kMax);  // rounding up would overflow
    EXPECT_EQ(MUtils::Round(1.5, INT_MAX), 1.5);
    EXPECT_EQ(MUtils::Round(1.5, INT_MIN), 0.0);
    EXPECT_EQ(MUtils::Round(std::numeric_limits<double>::infinity(), 2),
              std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(MUtils::Round(std::numeric_limits<double>::quiet_NaN(), 2)));
}

class MUtilsEditNumber : public ViewsFixture {
protected:
    // Plays the technician in the modal dialog once it is up.
    template <class Act>
    void WhenDialogOpens(Act act) {
        QTimer::singleShot(0, [act] {
            auto* dialog = qobject_cast<korotka::FNumericInput*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "no dialog";
                return;
            }
            act(*dialog);
        });
    }
};

TEST_F(MUtilsEditNumber, WritesTheConfirmedValueBackOnly) {
    QLineEdit box(QStringLiteral("12"));
    WhenDialogOpens([](korotka::FNumericInput& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Duration"));
        EXPECT_EQ(dialog.Units(), QStringLiteral("seconds"));
        auto* input = dialog.findChild<QLineEdit*>(QStringLiteral("txtNumeric"));
        EXPECT_EQ(input->text(), QStringLiteral("12"));
        Type(input, QStringLiteral("5"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    });
    MUtils::EditNumber(&box, QStringLiteral("seconds"), QStringLiteral("Edit Duration"), 0, 0.0f, 300.0f);
    EXPECT_EQ(box.text(), QStringLiteral("125"));

    WhenDialogOpens([](korotka::FNumericInput& dialog) {
        Type(dialog.findChild<QLineEdit*>(QStringLiteral("txtNumeric")), QStringLiteral("0"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    MUtils::EditNumber(&box, QStringLiteral("seconds"), QStringLiteral("Edit Duration"), 0, 0.0f, 300.0f);
    EXPECT_EQ(box.text(), QStringLiteral("125"));
}

}  // namespace
