#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <thread>

#include "driver/CChannel.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "support/Raised.h"
#include "support/SimulatorFixture.h"

using korotka::CChannel;
using korotkasim::Chunk;

namespace {

const QString kSettings = QStringLiteral("9600,N,8,1");

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Opens a channel and returns the number of what it raised (0 when it opened).
int32_t OpenError(CChannel& channel, int16_t port) {
    try {
        channel.Open(port, kSettings);
    } catch (const orvex::ComError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace

class ChannelTest : public SimulatorFixture {
protected:
    void SetUp() override {
        SimulatorFixture::SetUp();
        channel.Open(kPort, kSettings);
        ASSERT_EQ(channel.PortNumber(), kPort);
    }
    // A scripted line: the simulator records commands and the test decides every byte sent back.
    void Script(std::vector<Chunk> chunks) {
        sim->SetAutoReply(false);
        sim->Schedule(std::move(chunks));
    }

    CChannel channel;
};

TEST_F(ChannelTest, TalksToTheInstrument) {
    channel.Send("[BP_SERIAL]");
    EXPECT_EQ(channel.Receive(), "\x06KT-0001234");
    channel.Send("[NO_SUCH]");
    EXPECT_EQ(channel.Receive(), "\x15");
    EXPECT_EQ(sim->ReceivedCommands(), (std::vector<std::string>{"[BP_SERIAL]", "[NO_SUCH]"}));
}

TEST_F(ChannelTest, CollectsAReplyUntilItsFinalLineEnd) {
    // Chunks less than a window apart make one reply; a CR LF inside a chunk does not end it,
    // and only the final CR LF is removed. The reply is scheduled after the command, whose Send
    // discards whatever arrived before it.
    sim->SetAutoReply(false);
    channel.Send("[X]");
    Script({{0,
             "\x06"
             "AB\r\nC"},
            {300, "D"},
            {300, "E\r"},
            {300, "\n"},
            {50, "next\r\n"}});
    EXPECT_EQ(channel.Receive(),
              "\x06"
              "AB\r\nCDE");
    EXPECT_EQ(channel.Receive(), "next");
    EXPECT_EQ(sim->ReceivedCommands(), std::vector<std::string>{"[X]"});
}

TEST_F(ChannelTest, ALeadingNakEndsTheReplyAtOnce) {
    Script({{0, "\x15"}, {600, "late\r\n"}});
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(channel.Receive(), "\x15");
    EXPECT_LT(clock.elapsed(), 500);
}

TEST_F(ChannelTest, ASilentLineGivesEmptyTextAfterOneWindow) {
    sim->SetAutoReply(false);
    channel.Send("[GAUGE]");
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(channel.Receive(), "");
    EXPECT_GE(clock.elapsed(), 950);
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(ChannelTest, SendDiscardsWhatArrivedBeforeIt) {
    Script({{0, "stale reply\r\n"}});
    Pump(200);
    channel.Send("[BP_SERIAL]");
    sim->Schedule({{20,
                    "\x06"
                    "fresh\r\n"}});
    EXPECT_EQ(channel.Receive(),
              "\x06"
              "fresh");
}

TEST_F(ChannelTest, AnEndlessStreamIsCutOffAndReportedAsAnInvalidResponse) {
    std::vector<Chunk> flood(12, Chunk{20, std::string(1000, 'A')});
    Script(flood);
    try {
        channel.Receive();
        FAIL() << "an endless stream must not be taken as a reply";
    } catch (const orvex::ComError& e) {
        EXPECT_EQ(e.Number(), korotka::eeVTI_MTIInvalidResponse);
        EXPECT_TRUE(e.Description().contains("4096")) << e.Description().toStdString();
    }
    // The channel stays usable once the line calms down.
    Pump(300);
    channel.Send("[BP_SERIAL]");
    sim->Schedule({{10,
                    "\x06"
                    "ok\r\n"}});
    EXPECT_EQ(channel.Receive(),
              "\x06"
              "ok");
}

TEST_F(ChannelTest, ALostLineIsAnErrorNeverAReadingAndTheLineCanBeOpenedAgain) {
    // Half a reply, then the line hangs up: what arrived must not come back as a reply.
    Script({{0,
             "\x06"
             "25"},
            {200, "0."},
            {200, "0 mm"},
            {200, "Hg"},
            {200, "\r\n"}});
    QTimer::singleShot(500, [this] { sim->HangUp(); });
    QElapsedTimer clock;
    clock.start();
    auto e = Raised([&] { channel.Receive(); });
    EXPECT_LT(clock.elapsed(), 900);
    EXPECT_EQ(e.Number(), korotka::eeVTI_MTIConnectionLost);
    EXPECT_EQ(e.Description(), "1: The connection to the instrument was lost.");
    // Later reads say the same at once, instead of waiting out a window for a time-out.
    clock.restart();
    EXPECT_EQ(Raised([&] { channel.Receive(); }).Number(), korotka::eeVTI_MTIConnectionLost);
    EXPECT_LT(clock.elapsed(), 100);

    // A dead line costs no CPU while the window waits.
    const double cpu0 = CpuSeconds();
    Pump(300);
    EXPECT_LT(CpuSeconds() - cpu0, 0.1);
    // Writing on it says the same as reading.
    EXPECT_EQ(Raised([&] { channel.Send("[GAUGE]"); }).Number(), korotka::eeVTI_MTIConnectionLost);
    channel.Close();

    // The adapter is plugged in again (the device appears anew).
    StartSimulator();
    channel.Open(kPort, kSettings);
    channel.Send("[BP_SERIAL]");
    EXPECT_EQ(channel.Receive(), "\x06KT-0001234");

    // Closed by a handler that ran during the wait: the partial reply is dropped the same way.
    Script({{0,
             "\x06"
             "12"},
            {300, "3"}});
    QTimer::singleShot(150, [this] { channel.Close(); });
    e = Raised([&] { channel.Receive(); });
    EXPECT_EQ(e.Number(), korotka::eeVTI_MTIConnectionLost);
    EXPECT_EQ(e.Description(), "1: The connection to the instrument was lost.");
}

TEST_F(ChannelTest, AReplyWithoutLineEndOnALiveLineIsTakenWhenTheWindowEnds) {
    Script({{0,
             "\x06"
             "250.0 mmHg"}});
    EXPECT_EQ(channel.Receive(),
              "\x06"
              "250.0 mmHg");
}

TEST_F(ChannelTest, CloseNeverFails) {
    CChannel never;
    never.Close();
    never.Close();
    EXPECT_EQ(never.PortNumber(), 0);
    channel.Close();
    channel.Close();
    EXPECT_EQ(channel.PortNumber(), 0);
    EXPECT_THROW(channel.Send("[GAUGE]"), orvex::ComError);
    EXPECT_THROW(channel.Receive(), orvex::ComError);
}

TEST_F(ChannelTest, APortThatCannotBeOpenedIsShownOnceAndLeavesTheChannelClosed) {
    // Held by another open.
    CChannel second;
    EXPECT_EQ(OpenError(second, kPort), korotka::eeVTI_Error);
    EXPECT_EQ(second.PortNumber(), 0);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->Shown()[0].text,
              "1: The communication port was not available.  It may be in use by another application.");
    EXPECT_EQ(messages->Shown()[0].icon, orvex::MessageService::Icon::Exclamation);

    // No such device, and no device known under the number.
    messages->Clear();
    ports->Assign(7, "/dev/no-such-korotka");
    EXPECT_EQ(OpenError(second, 7), korotka::eeVTI_Error);
    EXPECT_EQ(OpenError(second, 8), korotka::eeVTI_Error);
    ASSERT_EQ(messages->Shown().size(), 2);
    EXPECT_EQ(messages->Shown()[0].text,
              "7: The communication port assigned to the instrument was not found on the system.");
    EXPECT_TRUE(messages->Shown()[1].text.startsWith("8: "));

    // A device that is no serial port.
    messages->Clear();
    QTemporaryDir dir;
    QFile plain(dir.filePath("not-a-tty"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    ports->Assign(9, plain.fileName());
    EXPECT_EQ(OpenError(second, 9), korotka::eeVTI_Error);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->Shown()[0].text, "9: The communication port could not be opened.");
    EXPECT_EQ(second.PortNumber(), 0);

    // Bad line settings fail without a message; the first channel was never disturbed.
    messages->Clear();
    try {
        second.Open(kPort, "9600,X,8,1");
        FAIL();
    } catch (const orvex::ComError& e) {
        EXPECT_EQ(e.Number(), korotka::eeVTI_Error);
        EXPECT_TRUE(e.Description().isEmpty());
    }
    EXPECT_TRUE(messages->Shown().isEmpty());
    channel.Send("[BP_SERIAL]");
    EXPECT_EQ(channel.Receive(), "\x06KT-0001234");
}

// Another open that lets the line go a moment later (a program that just probed it) does not keep
// the channel out.
TEST_F(ChannelTest, ALineLetGoOfAMomentLaterOpens) {
    channel.Close();
    const int other = ::open(sim->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    std::thread lettingGo([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        ::close(other);
    });
    const int32_t error = OpenError(channel, kPort);
    lettingGo.join();
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(messages->Shown().isEmpty());
    channel.Send("[BP_SERIAL]");
    EXPECT_EQ(channel.Receive(), "\x06KT-0001234");
}
