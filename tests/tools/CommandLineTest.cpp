#include <gtest/gtest.h>

#include "CommandLine.h"

using korotkatool::CommandLine;

namespace {

QStringList Args(std::initializer_list<const char*> words) {
    QStringList list{QStringLiteral("korotka")};
    for (const char* word : words) list.append(QString::fromUtf8(word));
    return list;
}

}  // namespace

TEST(CommandLine, ReadsTargetsCommandsAndDefaults) {
    CommandLine line;
    QString error;

    ASSERT_TRUE(line.Parse(Args({"--simulate", "test", "300", "250", "0", "False", "_", "False"}), &error))
        << error.toStdString();
    EXPECT_EQ(line.Get().target, CommandLine::Target::Simulator);
    EXPECT_EQ(line.Get().command, CommandLine::Command::Test);
    EXPECT_EQ(line.Get().parameters, QStringList({"300", "250", "0", "False", "_", "False"}));
    EXPECT_EQ(line.Get().polls, CommandLine::kDefaultPolls);
    EXPECT_DOUBLE_EQ(line.Get().simulator.timeScale, CommandLine::kDefaultTimeScale);
    EXPECT_EQ(line.Get().simulator.fault, korotkasim::Fault::None);
    EXPECT_FALSE(line.Get().verbose);

    // Options may follow the command; a second parse starts from the defaults again.
    ASSERT_TRUE(line.Parse(Args({"test", "900", "--polls", "3600", "--device", "/dev/ttyUSB0"}), &error))
        << error.toStdString();
    EXPECT_EQ(line.Get().target, CommandLine::Target::Device);
    EXPECT_EQ(line.Get().device, QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(line.Get().polls, 3600);

    ASSERT_TRUE(line.Parse(
        Args({"--simulate", "--time-scale", "1", "--fault", "no-crlf", "--verbose", "identify"}), &error));
    EXPECT_TRUE(line.Get().verbose);
    EXPECT_DOUBLE_EQ(line.Get().simulator.timeScale, 1.0);
    EXPECT_EQ(line.Get().simulator.fault, korotkasim::Fault::NoCrLf);
    EXPECT_EQ(line.Get().command, CommandLine::Command::Identify);

    ASSERT_TRUE(line.Parse(Args({"send", "[BP_SERIAL]"}), &error));
    EXPECT_EQ(line.Get().target, CommandLine::Target::Settings);
    EXPECT_EQ(line.Get().sendText, QStringLiteral("[BP_SERIAL]"));

    ASSERT_TRUE(line.Parse(Args({"--device", "x", "--help"}), &error));
    EXPECT_TRUE(line.HelpRequested());
    EXPECT_TRUE(line.HelpText().contains(QStringLiteral("300 PRESSURE UNIT GAUGE_ONLY _ MEASURE_ONLY")));
}

TEST(CommandLine, RefusesMistakesWithOneLineReason) {
    const std::vector<QStringList> mistakes = {
        Args({}),
        Args({"--simulate"}),
        Args({"--simulate", "calibrate"}),
        Args({"--simulate", "identify", "now"}),
        Args({"--simulate", "send"}),
        Args({"--simulate", "test"}),
        Args({"--simulate", "--device", "/dev/ttyUSB0", "identify"}),
        Args({"--device", "", "identify"}),
        Args({"--device"}),
        Args({"--device", "/dev/ttyUSB0", "--time-scale", "0.5", "identify"}),
        Args({"--fault", "silence", "identify"}),
        Args({"--simulate", "--fault", "smoke", "identify"}),
        Args({"--simulate", "--time-scale", "0", "identify"}),
        Args({"--simulate", "--time-scale", "nan", "identify"}),
        Args({"--simulate", "--time-scale", "fast", "identify"}),
        Args({"--simulate", "test", "900", "--polls", "0"}),
        Args({"--simulate", "test", "900", "--polls", "3601"}),
        Args({"--simulate", "test", "900", "--polls", "2.5"}),
        Args({"--simulate", "test", "900", "--polls", "99999999999"}),
        Args({"--simulate", "identify", "--polls", "4"}),
        Args({"--simulate", "--colour", "identify"}),
    };
    CommandLine line;
    for (const QStringList& arguments : mistakes) {
        QString error;
        EXPECT_FALSE(line.Parse(arguments, &error)) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_FALSE(error.contains(QLatin1Char('\n'))) << error.toStdString();
    }
}
