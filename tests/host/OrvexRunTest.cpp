#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// The orvex program as a technician's shell runs it, against the built-in simulator.
class OrvexRunTest : public ::testing::Test {
protected:
    struct Outcome {
        int status;
        QString out;
        QString err;
    };

    Outcome Orvex(const QStringList& arguments) {
        QProcess process;
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("ORVEX_REGISTRY", dir.filePath("Registry.ini"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(ORVEX_EXECUTABLE), arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << arguments.join(' ').toStdString();
        const Outcome outcome{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                              QString::fromLocal8Bit(process.readAllStandardOutput()),
                              QString::fromLocal8Bit(process.readAllStandardError())};
        return outcome;
    }

    QString Script(const QByteArray& text) {
        QFile file(dir.filePath("script.txt"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return file.fileName();
    }

    // KEY=VALUE fields of a line of `orvex show`, the value's number read.
    static double Number(const QStringList& fields, const QString& key) {
        for (const QString& field : fields) {
            if (field.startsWith(key + "="))
                return field.mid(key.size() + 1).section(' ', 0, 0).replace(',', '.').toDouble();
        }
        ADD_FAILURE() << "no " << key.toStdString() << " in " << fields.join('|').toStdString();
        return 0;
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("sequence.xml");
    const QStringList simulate{"--simulate", "--time-scale", "0.01"};
};

TEST_F(OrvexRunTest, AScriptedStaticPressureTestIsSavedWithTheTypedAndTheGaugeReading) {
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    const auto show = Orvex({"show", file});
    EXPECT_TRUE(show.out.endsWith("\tnot-measured\n")) << show.out.toStdString();

    // A standard that allows the monitor 3 mmHg: 262 mmHg is far from what the gauge reads, so the
    // test fails and the technician goes on anyway.
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
    const QByteArray text = sequence.readAll().replace(
        "</PlugInData>",
        "</PlugInData><ExpectedResult><Standard AlphaName='IEC' CompleteName='IEC 80601' Number='1'>"
        "<Limit Key='DIFF' Unit='mmHg' Type='0'><High Enabled='True'>3</High><Low Enabled='True'>-3</Low>"
        "</Limit></Standard></ExpectedResult>");
    sequence.resize(0);
    sequence.write(text);
    sequence.close();
    const auto run =
        Orvex(QStringList{"run", file} + simulate +
              QStringList{"--auto", Script("start\nreadings 3\ntype STAT 262\nanswer yes\nnext\n")});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();

    const auto shown = Orvex({"show", file});
    const QStringList fields = shown.out.trimmed().split('\t');
    ASSERT_GE(fields.size(), 6) << shown.out.toStdString();
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[2], "failed");
    EXPECT_TRUE(fields.contains("STAT=262 mmHg")) << shown.out.toStdString();
    const double gauge = Number(fields, "MANO");
    EXPECT_GT(gauge, 200.0);
    EXPECT_LT(gauge, 300.0);
    // Shown in whole mmHg, each rounded on its own.
    EXPECT_NEAR(Number(fields, "DIFF"), 262.0 - gauge, 1.0);
}

TEST_F(OrvexRunTest, AScriptThatCannotBeFollowedStopsTheRunAndKeepsTheFile) {
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    // Next stays off while the instrument runs.
    const auto run = Orvex(QStringList{"run", file} + simulate +
                           QStringList{"--auto", Script("start\nnext\n"), "--auto-timeout", "1"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.contains("script line 2: the Next button is not enabled")) << run.err.toStdString();
    EXPECT_EQ(Orvex({"show", file}).status, 0);
}

TEST_F(OrvexRunTest, UsageAndFileErrorsExitWithTwo) {
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    EXPECT_EQ(Orvex({"new", file, "no such test"}).status, 2);
    EXPECT_EQ(Orvex({"show", dir.filePath("missing.xml")}).status, 2);
    EXPECT_EQ(Orvex({"run", file, "--fault", "nak"}).status, 2);
    EXPECT_EQ(Orvex({"run", file, "--device", "/dev/null", "--simulate"}).status, 2);
    const auto bad =
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nwait\n")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("script line 2: unknown action")) << bad.err.toStdString();
    EXPECT_EQ(
        Orvex(QStringList{"run", file, "--standard", "NOPE"} + simulate + QStringList{"--auto", Script("")})
            .status,
        2);
}
