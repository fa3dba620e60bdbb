#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "HostSession.h"
#include "InstrumentTest.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"

using korotkatool::InstrumentTest;
using orvex::Variant;

TEST(InstrumentTest, TypedTrueAndFalseBecomeBooleansEverythingElseStaysText) {
    const orvex::VariantArray p =
        InstrumentTest::Parameters({"300", "True", "FALSE", "false ", "Truely", "0", "", "_"});
    ASSERT_EQ(p.Count(), 8);
    EXPECT_EQ(p.LBound(), 0);
    EXPECT_EQ(p.At(0).GetKind(), Variant::Kind::String);
    EXPECT_EQ(p.At(1).GetKind(), Variant::Kind::Boolean);
    EXPECT_TRUE(p.At(1).ToBoolean());
    EXPECT_EQ(p.At(2).GetKind(), Variant::Kind::Boolean);
    EXPECT_FALSE(p.At(2).ToBoolean());
    for (int32_t i = 3; i < 8; ++i) EXPECT_EQ(p.At(i).GetKind(), Variant::Kind::String) << i;
}

TEST(InstrumentTest, TimeoutsOutsideTheirRangeKeepTheDefaults) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("t.ini")), QSettings::IniFormat);
    InstrumentTest test;
    test.LoadTimeouts(settings);
    EXPECT_EQ(test.CommTimeout(), InstrumentTest::kDefaultCommTimeout);
    EXPECT_EQ(test.VentTimeout(), InstrumentTest::kDefaultVentTimeout);

    const auto load = [&](const QString& comm, const QString& vent) {
        settings.setValue(QStringLiteral("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Timeouts/Comm/Seconds"), comm);
        settings.setValue(QStringLiteral("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Timeouts/Vent/Seconds"), vent);
        test.LoadTimeouts(settings);
    };
    load(QStringLiteral("8"), QStringLiteral("20"));
    EXPECT_EQ(test.CommTimeout(), 8);
    EXPECT_EQ(test.VentTimeout(), 20);
    load(QStringLiteral("2"), QStringLiteral("40"));
    EXPECT_EQ(test.CommTimeout(), 2);
    EXPECT_EQ(test.VentTimeout(), 40);
    load(QStringLiteral("9"), QStringLiteral("19"));
    EXPECT_EQ(test.CommTimeout(), 4);
    EXPECT_EQ(test.VentTimeout(), 30);
    load(QStringLiteral("1"), QStringLiteral("41"));
    EXPECT_EQ(test.CommTimeout(), 4);
    EXPECT_EQ(test.VentTimeout(), 30);
    load(QStringLiteral("five"), QStringLiteral("30s"));
    EXPECT_EQ(test.CommTimeout(), 4);
    EXPECT_EQ(test.VentTimeout(), 30);
}

class InstrumentTestRun : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("ORVEX_REGISTRY", m_dir.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
        m_session = std::make_unique<korotkatool::HostSession>(orvex::HostMessageService::Mode::Record);
        korotkasim::SimOptions options;
        options.timeScale = 0.01;
        QString error;
        ASSERT_TRUE(m_session->UseSimulator(options, &error)) << error.toStdString();
    }
    void TearDown() override {
        m_session.reset();
        qunsetenv("ORVEX_REGISTRY");
    }

    static int32_t FailureOf(const QStringList& parameters, int polls) {
        try {
            InstrumentTest().Run(parameters, polls);
        } catch (const orvex::ComError& e) {
            return e.Number();
        }
        return 0;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<korotkatool::HostSession> m_session;
};

TEST_F(InstrumentTestRun, ReadsTheAnswerAndFreesThePortWhateverHappens) {
    const InstrumentTest::Result reading =
        InstrumentTest().Run({"300", "250", "0", "False", "_", "False"}, 4);
    EXPECT_EQ(reading.ack, 6);
    EXPECT_EQ(reading.field1, QStringLiteral("250.0"));
    EXPECT_EQ(reading.field2, QStringLiteral("mmHg"));

    // A request the driver refuses, then a test number that sends no test command and so gets no answer.
    EXPECT_EQ(FailureOf({"300"}, 4), korotka::eeVTI_Error);
    EXPECT_FALSE(m_session->Messages().isEmpty());
    EXPECT_EQ(FailureOf({"555"}, 1), korotka::eeVTI_MTIResponseTimeout);

    // Neither failure leaves the port held: the next test opens it again.
    EXPECT_EQ(InstrumentTest().Run({"900"}, 4).ack, 6);
}
