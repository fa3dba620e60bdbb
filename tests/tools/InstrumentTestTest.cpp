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

TEST(InstrumentTest, TimeoutsComeFromTheMachinesSettingsAsThePlugInReadsThem) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Registry.ini"));
    qputenv("ORVEX_REGISTRY", file.toLocal8Bit());
    korotkatool::HostSession session(orvex::HostMessageService::Mode::Record);
    const auto load = [&](const QString& comm, const QString& vent) {
        {
            QSettings settings(file, QSettings::IniFormat);
            const QString key = QStringLiteral("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Timeouts/");
            settings.setValue(key + QStringLiteral("Comm/Seconds"), comm);
            settings.setValue(key + QStringLiteral("Vent/Seconds"), vent);
        }
        InstrumentTest test;
        test.LoadTimeouts();
        return std::pair{test.CommTimeout(), test.VentTimeout()};
    };
    EXPECT_EQ(load(QStringLiteral("8"), QStringLiteral("20")), std::pair(8, 20));
    // Outside their ranges, or no numbers: the defaults.
    EXPECT_EQ(load(QStringLiteral("9"), QStringLiteral("19")), std::pair(4, 30));
    EXPECT_EQ(load(QStringLiteral("five"), QStringLiteral("30s")), std::pair(4, 30));
    qunsetenv("ORVEX_REGISTRY");
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
    // The source switched on, then the gauge once the pressure is reached.
    EXPECT_EQ(InstrumentTest().Run({"300", "250", "0", "False", "_", "False"}, 4).ack, 6);
    const InstrumentTest::Result reading = InstrumentTest().Run({"300", "250", "0", "True"}, 4);
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

TEST(InstrumentTestFaults, ALineLostMidReplyFailsTheTestAndAReplyWithoutLineEndStillCounts) {
    for (const auto fault : {korotkasim::Fault::Disconnect, korotkasim::Fault::NoCrLf}) {
        QTemporaryDir dir;
        qputenv("ORVEX_REGISTRY", dir.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
        korotkatool::HostSession session(orvex::HostMessageService::Mode::Record);
        korotkasim::SimOptions options;
        options.timeScale = 0.01;
        options.fault = fault;
        QString error;
        ASSERT_TRUE(session.UseSimulator(options, &error)) << error.toStdString();
        const QStringList request = {"300", "250", "0", "False", "0", "False"};
        if (fault == korotkasim::Fault::NoCrLf) {
            const auto reading = InstrumentTest().Run(request, 10);
            EXPECT_EQ(reading.ack, 6);
            EXPECT_EQ(reading.field2, QStringLiteral("mmHg"));
        } else {
            try {
                const auto reading = InstrumentTest().Run(request, 10);
                ADD_FAILURE() << "a cut reply was read as " << reading.field1.toStdString();
            } catch (const orvex::ComError& e) {
                EXPECT_EQ(e.Number(), korotka::eeVTI_Error);
                EXPECT_EQ(e.Description(), "1: The connection to the instrument was lost.");
            }
        }
        qunsetenv("ORVEX_REGISTRY");
    }
}
