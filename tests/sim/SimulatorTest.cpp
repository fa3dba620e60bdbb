#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>

#include "PtyClient.h"
#include "sim/Simulator.h"

using korotkasim::Fault;
using korotkasim::SimOptions;
using korotkasim::Simulator;

namespace {

using Clock = std::chrono::steady_clock;

const std::string kNak(1, '\x15');

// A pressure run at this scale takes a few hundred milliseconds.
SimOptions FastOptions() {
    SimOptions options;
    options.timeScale = 0.01;
    return options;
}

struct Line {
    explicit Line(SimOptions options = FastOptions()) : simulator(std::move(options)) {
        std::string error;
        EXPECT_TRUE(simulator.Start(&error)) << error;
        client = std::make_unique<PtyClient>(simulator.SlavePath());
        EXPECT_TRUE(client->IsOpen());
    }

    std::string Ask(std::string_view command, int timeoutMs = 1000) {
        client->Send(command);
        return client->ReadReply(timeoutMs);
    }

    Simulator simulator;
    std::unique_ptr<PtyClient> client;
};

long MsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

}  // namespace

TEST(SimulatorWire, FramesCommandsAndRefusesBadOnes) {
    Line line;
    line.client->Send("[BP_SE");
    EXPECT_EQ(line.Ask("RIAL]"), "\x06KT-0001234\r\n");
    EXPECT_EQ(line.Ask("noise\r\n[BP_SERIAL]junk"), "\x06KT-0001234\r\n");

    // Refusals are a lone NAK: nothing follows it.
    EXPECT_EQ(line.Ask("[" + std::string(70, 'A') + "]"), kNak);
    for (const char* bad : {"[bp_serial]", "[PSOURCE,abc]", "[PSOURCE,-5]", "[PSOURCE,601]", "[PSOURCE,1e2]",
                            "[PSOURCE,]", "[PSOURCE]", "[GAUGE,1]", "[PSOURCE, 250]", "[]"}) {
        EXPECT_EQ(line.Ask(bad), kNak) << bad;
    }
    EXPECT_EQ(line.client->ReadFor(100), "");
    EXPECT_EQ(line.Ask("[PRESS_UNITS_PSI]"), "\x06\r\n");
}

TEST(SimulatorWire, ReportsIdentity) {
    Line standard;
    EXPECT_EQ(standard.Ask("[BP_VERSION]"), "\x06KNB-300 Ver 2.10\r\n");

    SimOptions options = FastOptions();
    options.serial = "SN 42";
    options.firmware = "3.1b";
    Line custom(options);
    EXPECT_EQ(custom.Ask("[BP_SERIAL]"), "\x06SN 42\r\n");
    EXPECT_EQ(custom.Ask("[BP_VERSION]"), "\x06KNB-300 Ver 3.1b\r\n");
}

TEST(SimulatorWire, StaticPressureRun) {
    SimOptions options = FastOptions();
    options.leakMmHgPerMin = 0.0;  // at this time scale even a small leak shows between readings
    Line line(options);
    EXPECT_EQ(line.Ask("[BLEED_SYSTEM]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[CUFF_EXT]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[PRESS_UNITS_MMHG]"), "\x06\r\n");

    // The source answers at once with the pressure it starts from; the gauge after it answers
    // once the pressure is reached.
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(line.Ask("[PSOURCE,250]"),
              "\x06"
              "0.000 mmHg\r\n");
    EXPECT_EQ(line.Ask("[GAUGE]"),
              "\x06"
              "250.0 mmHg\r\n");
    EXPECT_GE(MsSince(start), 150);  // 250 mmHg at 15 mmHg/s, scaled by 0.01

    EXPECT_EQ(line.Ask("[GAUGE]"),
              "\x06"
              "250.0 mmHg\r\n");
    EXPECT_EQ(line.Ask("[PRESS_UNITS_KPA]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[GAUGE]"),
              "\x06"
              "33.33 kPa\r\n");
    EXPECT_EQ(line.Ask("[PRESS_UNITS_CMH2O]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[GAUGE]"),
              "\x06"
              "339.9 cmH2O\r\n");

    // A new command takes over: the gauge no longer waits for the superseded source.
    EXPECT_TRUE(line.Ask("[PSOURCE,100]").ends_with(" cmH2O\r\n"));
    EXPECT_EQ(line.Ask("[BP_SERIAL]"), "\x06KT-0001234\r\n");
    const Clock::time_point read = Clock::now();
    EXPECT_TRUE(line.Ask("[GAUGE]").ends_with(" cmH2O\r\n"));
    EXPECT_LT(MsSince(read), 100);
}

TEST(SimulatorWire, LeakReliefAndSimulationRuns) {
    SimOptions options = FastOptions();
    options.leakMmHgPerMin = 30.0;
    Line line(options);
    EXPECT_EQ(line.Ask("[LEAK,150]"),
              "\x06"
              "30.00 mmHg\r\n");
    EXPECT_EQ(line.Ask("[RELIEF,380]"),
              "\x06"
              "300.0 mmHg\r\n");
    EXPECT_EQ(line.Ask("[PRESS_UNITS_PSI]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[RELIEF,380]"),
              "\x06"
              "5.801 PSI\r\n");
    EXPECT_TRUE(line.simulator.SetReliefPressure(400.0));
    EXPECT_EQ(line.Ask("[RELIEF,380]"),
              "\x06"
              "0.000 PSI\r\n");

    EXPECT_EQ(line.Ask("[BP_UNITS_KPA]"), "\x06\r\n");
    EXPECT_EQ(line.Ask("[SIM_NEO35_15]"), "\x06READY NEO35_15 kPa\r\n");
}

TEST(SimulatorWire, RefusesBadOptions) {
    SimOptions options;
    options.model = "KNB-3000";
    Simulator bad(options);
    std::string error;
    EXPECT_FALSE(bad.Start(&error));
    EXPECT_NE(error.find("model"), std::string::npos);

    Line line;
    EXPECT_FALSE(line.simulator.SetReplyDelayMs(-1));
    EXPECT_FALSE(line.simulator.SetLeakRate(std::nan("")));
    EXPECT_FALSE(line.simulator.SetReliefPressure(1e9));
    EXPECT_FALSE(line.simulator.Start(&error));

    EXPECT_TRUE(line.simulator.SetReplyDelayMs(150));
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(line.Ask("[BP_SERIAL]"), "\x06KT-0001234\r\n");
    EXPECT_GE(MsSince(start), 140);
}

TEST(SimulatorFaults, EachFaultMisbehavesAsAdvertised) {
    SimOptions options = FastOptions();
    options.fault = Fault::Nak;
    options.trickleGapMs = 40;
    Line line(options);
    EXPECT_EQ(line.Ask("[BP_SERIAL]"), kNak);

    line.simulator.SetFault(Fault::Silence);
    EXPECT_EQ(line.Ask("[BP_SERIAL]", 200), "");

    line.simulator.SetFault(Fault::Garbage);
    const std::string garbage = line.Ask("[BP_SERIAL]");
    ASSERT_GE(garbage.size(), 3u);
    EXPECT_NE(garbage.front(), '\x06');
    EXPECT_NE(garbage.front(), '\x15');
    EXPECT_TRUE(garbage.ends_with("\r\n"));

    line.simulator.SetFault(Fault::NoCrLf);
    line.client->Send("[BP_SERIAL]");
    EXPECT_EQ(line.client->ReadFor(150), "\x06KT-0001234");

    line.simulator.SetFault(Fault::Trickle);
    const Clock::time_point start = Clock::now();
    line.client->Send("[BP_SERIAL]");
    const std::string first = line.client->ReadFor(20);
    EXPECT_LE(first.size(), 3u);
    EXPECT_EQ(first + line.client->ReadReply(1000), "\x06KT-0001234\r\n");
    EXPECT_GE(MsSince(start), 4 * 40);  // five pieces, 40 ms apart

    // The source switches on at once; the gauge after it says that the pressure was not reached.
    line.simulator.SetFault(Fault::Unreachable);
    EXPECT_TRUE(line.Ask("[PSOURCE,250]").ends_with(" mmHg\r\n"));
    EXPECT_EQ(line.Ask("[GAUGE]"),
              "\x06"
              "ERROR mmHg\r\n");
    EXPECT_EQ(line.Ask("[LEAK,150]"),
              "\x06"
              "ERROR mmHg\r\n");

    line.simulator.SetFault(Fault::NeverRelease);
    EXPECT_EQ(line.Ask("[RELIEF,380]"),
              "\x06"
              "0.000 mmHg\r\n");

    line.simulator.SetFault(Fault::Disconnect);
    EXPECT_EQ(line.Ask("[BP_SERIAL]"), "\x06KT-0001234\r\n");  // only a test reply is cut
    line.client->Send("[PSOURCE,100]");
    const std::string half = line.client->ReadFor(500);
    EXPECT_EQ(half.size(), 6u) << half;  // 6 of 13 bytes
    EXPECT_EQ(half.front(), '\x06');
    EXPECT_TRUE(line.client->WaitForHangUp(500));
}

TEST(SimulatorScript, ScheduleRecordAndPace) {
    Line line;
    line.simulator.SetAutoReply(false);
    line.client->Send("xx[BP_SERIAL][PSOURCE,-1][NOPE]\r\n[GAUGE");
    line.client->Send("]");
    EXPECT_EQ(line.client->ReadFor(100), "");
    EXPECT_EQ(line.simulator.ReceivedCommands(),
              (std::vector<std::string>{"[BP_SERIAL]", "[PSOURCE,-1]", "[NOPE]", "[GAUGE]"}));
    line.simulator.ClearReceived();
    EXPECT_TRUE(line.simulator.ReceivedCommands().empty());
    // The count goes on over a clear, and sees who holds the line.
    EXPECT_EQ(line.simulator.CommandCount(), 4u);
    EXPECT_EQ(line.simulator.ClientOpenCount(), 1);
    {
        PtyClient second(line.simulator.SlavePath());
        EXPECT_EQ(line.simulator.ClientOpenCount(), 2);
    }
    line.client.reset();
    EXPECT_EQ(line.simulator.ClientOpenCount(), 0);
    line.client = std::make_unique<PtyClient>(line.simulator.SlavePath());

    const Clock::time_point start = Clock::now();
    line.simulator.Schedule({{100,
                              "\x06"
                              "12"},
                             {150, "3.4\r\n"}});
    EXPECT_EQ(line.client->ReadFor(60), "");
    EXPECT_EQ(line.client->ReadReply(1000),
              "\x06"
              "123.4\r\n");
    EXPECT_GE(MsSince(start), 240);
    EXPECT_LE(MsSince(start), 600);

    line.simulator.SetAutoReply(true);
    line.simulator.SetPacing(true);
    const Clock::time_point paced = Clock::now();
    EXPECT_EQ(line.Ask("[BP_VERSION]"), "\x06KNB-300 Ver 2.10\r\n");
    EXPECT_GE(MsSince(paced), 17);  // 19 bytes at about 1.04 ms each
}

TEST(SimulatorScript, BabbleAndHangUp) {
    Line line;
    line.simulator.Babble(true);
    const std::string stream = line.client->ReadFor(100);
    EXPECT_GE(stream.size(), 20u);
    EXPECT_EQ(stream.find_first_not_of('A'), std::string::npos);
    line.simulator.Babble(false);
    line.client->ReadFor(20);
    EXPECT_EQ(line.client->ReadFor(50), "");

    line.simulator.HangUp();
    EXPECT_TRUE(line.client->WaitForHangUp(500));
    line.simulator.HangUp();
    line.simulator.Stop();
    line.simulator.Stop();
}
