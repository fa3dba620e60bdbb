#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "driver/CChannel.h"
#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "support/Raised.h"
#include "support/SimulatorFixture.h"

using namespace korotka;
using orvex::Variant;
using orvex::VariantArray;
using Commands = std::vector<std::string>;

namespace {

Variant Params(std::vector<Variant> values) { return Variant(VariantArray::FromList(std::move(values))); }
Variant ResultArray() { return Params({Variant(), Variant(), Variant()}); }

}  // namespace

class KorotkaVTITest : public SimulatorFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        korotkasim::SimOptions fast;
        fast.timeScale = 0.01;
        StartSimulator(fast);
        instruments->Assign(kPort, {"Korotka", "KT-0001234", "2.10", 1});
        vti = std::make_shared<CKorotkaVTI>();
    }

    // Starts a test on a connected instrument and returns the commands it sent.
    Commands Sent(Variant params) {
        if (vti->VtiState() == evtiNotConnected) vti->StartRemote();
        eTestId id = TESTID_VENT;
        vti->StopTest(id);
        sim->ClearReceived();
        vti->StartTest(params);
        Pump(50);  // the test command is sent without waiting for an answer
        return sim->ReceivedCommands();
    }

    std::shared_ptr<CKorotkaVTI> vti;
};

TEST_F(KorotkaVTITest, PressureTestsSendTheirSetUpAndTestCommands) {
    const Variant f(false), t(true);
    // Static pressure: pump, gauge with units, gauge alone.
    EXPECT_EQ(Sent(Params({300, "250", 0, f, 0, f})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[PRESS_UNITS_MMHG]", "[PSOURCE,250]"}));
    EXPECT_EQ(vti->VtiState(), evtiPerformingTest);
    EXPECT_EQ(Sent(Params({300, "250", 1, f, 0, t})), (Commands{"[PRESS_UNITS_KPA]", "[GAUGE]"}));
    EXPECT_EQ(Sent(Params({300, "250", 1, t})), Commands{"[GAUGE]"});
    // The switches may arrive as the texts a configuration writes.
    EXPECT_EQ(Sent(Params({"300", "33.5", "4", "False", 0, "False"})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[PRESS_UNITS_PSI]", "[PSOURCE,33.5]"}));

    // Leak with the internal cuff; relief; a unit code out of range sends no unit command.
    EXPECT_EQ(Sent(Params({100, "300", 2, 0, 0, 0, t})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_IA]", "[PRESS_UNITS_CMH2O]", "[LEAK,300]"}));
    EXPECT_EQ(Sent(Params({200, 320, 5})), (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[RELIEF,320]"}));

    // The pressure goes in as the text of whatever the caller handed in.
    EXPECT_EQ(Sent(Params({100, 152.5f, 3, 0, 0, 0, f})).back(), "[LEAK,152.5]");
}

TEST_F(KorotkaVTITest, BloodPressureAndOtherTestsSendTheirCommands) {
    const Variant f(false), t(true);
    EXPECT_EQ(Sent(Params({400, ebpStandard, ebpStd120_80, ebpuMMHG, f})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[BP_UNITS_MMHG]", "[SIM_STD120_80]"}));
    EXPECT_EQ(Sent(Params({400, ebpConditions, ebpConBradycardia, ebpuKPA, t})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_IA]", "[BP_UNITS_KPA]", "[SIM_BRADYCARDIA]"}));
    // The neonatal family has a cuff of its own.
    EXPECT_EQ(Sent(Params({400, ebpNeonate, ebpNeo60_30, 7, t})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_IN]", "[BP_UNITS_MMHG]", "[SIM_NEO60_30]"}));
    EXPECT_EQ(Sent(Params({400, ebpWrist, ebpWrist160_100, 0, f})).back(), "[SIM_WC160_100]");
    EXPECT_EQ(Sent(Params({400, ebpArrhythmias, ebpArrAFIBPVC, 0, f})).back(), "[SIM_AFIBPVC]");
    EXPECT_EQ(Sent(Params({400, ebpRespiratory, ebpRespContVent, 0, f})).back(), "[SIM_CV]");
    // A preset or family outside the table sends an empty test command.
    EXPECT_EQ(Sent(Params({400, ebpWrist, 3, 0, f})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[BP_UNITS_MMHG]"}));
    EXPECT_EQ(Sent(Params({400, 6, 0, 0, f})).size(), 3u);
    EXPECT_EQ(Sent(Params({400, -1, 0, 0, f})).size(), 3u);
    EXPECT_EQ(vti->VtiState(), evtiPerformingTest);

    // The variants 401..406 and unknown identifiers only set up.
    EXPECT_EQ(Sent(Params({401})), (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[BP_UNITS_MMHG]"}));
    EXPECT_EQ(Sent(Params({12345})), (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[BP_UNITS_MMHG]"}));

    // A single-element array holding the parameter array is the same request.
    EXPECT_EQ(Sent(Params({Params({300, "250", 0, f, 0, f})})),
              (Commands{"[BLEED_SYSTEM]", "[CUFF_EXT]", "[PRESS_UNITS_MMHG]", "[PSOURCE,250]"}));
}

TEST_F(KorotkaVTITest, VentSendsOnlyTheBleedAndLeavesItsReplyToTheResultPoll) {
    EXPECT_EQ(Sent(Params({900})), Commands{"[BLEED_SYSTEM]"});
    Variant result = ResultArray();
    int32_t id = TESTID_VENT;
    for (int poll = 0; poll < 4 && result.ToArray().At(0).ToLong() == 0; ++poll)
        vti->GetTestResult(id, result);
    EXPECT_EQ(result.ToArray().At(0).ToLong(), 6);
}

TEST_F(KorotkaVTITest, AStaticPressureRunReadsThePressureFromTheInstrument) {
    vti->SetCommTimeout(8);
    EXPECT_EQ(vti->CommTimeout(), 8);
    const auto data = vti->StartRemote();
    ASSERT_TRUE(data);
    EXPECT_EQ(vti->MTIData(), data);
    EXPECT_EQ(vti->MTIName(), "Korotka");
    EXPECT_EQ(vti->SerialNo(), "KT-0001234");
    EXPECT_EQ(vti->FWVersion(), "2.10");
    EXPECT_EQ(vti->VtiState(), evtiIdle);

    // The source switches on, then the gauge answers once the pressure is reached.
    Variant result = ResultArray();
    int32_t id = TESTID_PRESS_STATIC;
    for (const bool pass : {false, true}) {
        Variant params = Params({300, "250", 0, pass, 0, false});
        vti->StartTest(params);
        result = ResultArray();
        for (int poll = 0; poll < 8 && result.ToArray().At(0).ToLong() == 0; ++poll)
            vti->GetTestResult(id, result);
        EXPECT_EQ(result.ToArray().At(0).ToLong(), 6);
        eTestId next = TESTID_PRESS_STATIC;
        vti->StopTest(next);
    }
    const VariantArray& r = result.ToArray();
    EXPECT_EQ(r.At(0).GetKind(), Variant::Kind::Integer);
    EXPECT_EQ(r.At(0).ToLong(), 6);
    EXPECT_NEAR(r.At(1).ToDouble(), 250.0, 1.0);
    EXPECT_EQ(r.At(2).ToString(), "mmHg");

    eTestId stop = TESTID_PRESS_STATIC;
    vti->StopTest(stop);
    EXPECT_EQ(vti->VtiState(), evtiIdle);
    vti->EndRemote();
    EXPECT_EQ(vti->VtiState(), evtiNotConnected);
    EXPECT_FALSE(vti->MTIData());
    EXPECT_TRUE(vti->MTIName().isEmpty());
    EXPECT_TRUE(vti->SerialNo().isEmpty());
    EXPECT_TRUE(vti->FWVersion().isEmpty());
    // The port is free again.
    CChannel other;
    other.Open(kPort, "9600,N,8,1");
}

TEST_F(KorotkaVTITest, TestRepliesSplitIntoAcknowledgementAndTwoFields) {
    sim->SetAutoReply(false);
    Sent(Params({300, "0", 0, true}));
    int32_t id = TESTID_PRESS_STATIC;

    Variant result = ResultArray();
    sim->Schedule({{10,
                    "\x06"
                    "ABCDE 123.4  \r\n"}});
    vti->GetTestResult(id, result);
    EXPECT_EQ(result.ToArray().At(0).ToLong(), 6);
    EXPECT_EQ(result.ToArray().At(1).ToString(), "ABCDE");
    EXPECT_EQ(result.ToArray().At(2).ToString(), "123.4");

    sim->Schedule({{10, "\x15"}});
    vti->GetTestResult(id, result);
    EXPECT_EQ(result.ToArray().At(0).ToLong(), 21);
    EXPECT_EQ(result.ToArray().At(1).ToString(), "\x15");
    EXPECT_EQ(result.ToArray().At(2).ToString(), "");

    // No acknowledgement at all; only blanks are trimmed.
    sim->Schedule({{10, " \t12  x y \r\n"}});
    vti->GetTestResult(id, result);
    EXPECT_EQ(result.ToArray().At(0).ToLong(), 0);
    EXPECT_EQ(result.ToArray().At(1).ToString(), "\t12");
    EXPECT_EQ(result.ToArray().At(2).ToString(), "x y");

    // Not performing a test: the array stays as it is.
    eTestId stop = TESTID_PRESS_STATIC;
    vti->StopTest(stop);
    Variant untouched = Params({"a", "b", "c"});
    vti->GetTestResult(id, untouched);
    EXPECT_EQ(untouched.ToArray().At(1).ToString(), "b");
    CKorotkaVTI fresh;
    fresh.GetTestResult(id, untouched);
    EXPECT_EQ(untouched.ToArray().At(0).ToString(), "a");
}

TEST_F(KorotkaVTITest, AResultArrayThatCannotHoldTheReplyIsReported) {
    Sent(Params({300, "0", 0, true}));
    int32_t id = TESTID_PRESS_STATIC;
    for (Variant bad : {Variant(), Params({1, 2}), Variant(VariantArray(1, 3))}) {
        messages->Clear();
        const auto e = Raised([&] { vti->GetTestResult(id, bad); });
        EXPECT_EQ(e.Number(), eeVTI_Error);
        EXPECT_EQ(e.Description(), "The array for the instrument's reply must hold the elements 0 to 2.");
        EXPECT_EQ(messages->Shown().size(), 1);
    }
}

TEST_F(KorotkaVTITest, ABadParameterArrayIsAClearDriverError) {
    vti->StartRemote();
    const std::vector<std::pair<Variant, int>> cases = {
        {Variant("300"), 0},                     // no array at all
        {Params({"abc"}), 0},                    // text where the test id belongs
        {Params({300, "250", 0}), 3},            // too short for the gauge switch
        {Params({300, "250", 0, false, 0}), 5},  // too short for the measure-only switch
        {Params({300, Variant::Null(), 0, false, 0, false}), 1},
        {Params({100, "250", 0, 0, 0, 0, "maybe"}), 6},
        {Params({400, 1e12, 0, 0, false}), 1},
        {Params({}), 0},
    };
    for (const auto& [params, element] : cases) {
        eTestId id = TESTID_PRESS_STATIC;
        vti->StopTest(id);
        messages->Clear();
        Variant p = params;
        const auto e = Raised([&] { vti->StartTest(p); });
        EXPECT_EQ(e.Number(), eeVTI_Error);
        EXPECT_EQ(e.Description(),
                  QStringLiteral("Element %1 of the test request is missing or not valid.").arg(element));
        EXPECT_EQ(messages->Shown().size(), 1);
    }
    // The element is looked up from 0, whatever the array's lower bound.
    eTestId id = TESTID_PRESS_STATIC;
    vti->StopTest(id);
    VariantArray oneBased(1, 6);
    Variant p(oneBased);
    EXPECT_EQ(Raised([&] { vti->StartTest(p); }).Description(),
              "Element 0 of the test request is missing or not valid.");
}

TEST_F(KorotkaVTITest, StatesTurnAwayCallsThatDoNotFit) {
    Variant params = Params({300, "250", 0, false, 0, false});

    // Not connected: the technician is told to check the device.
    auto e = Raised([&] { vti->StartTest(params); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_TRUE(e.Description().startsWith("Could not establish communications with the Korotka."));
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->Shown()[0].text, e.Description());

    // A failed request leaves the instrument busy: both entry points refuse without a message.
    vti->StartRemote();
    Variant bad = Params({"x"});
    Raised([&] { vti->StartTest(bad); });
    EXPECT_EQ(vti->VtiState(), evtiBusy);
    messages->Clear();
    e = Raised([&] { vti->StartRemote(); });
    EXPECT_EQ(e.Number(), eeVTI_PortInUse);
    EXPECT_TRUE(e.Description().isEmpty());
    e = Raised([&] { vti->StartTest(params); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_TRUE(e.Description().isEmpty());
    EXPECT_TRUE(messages->Shown().isEmpty());
    eTestId id = TESTID_PRESS_STATIC;
    vti->StopTest(id);
    EXPECT_EQ(vti->VtiState(), evtiIdle);

    // While a test runs, another start request is ignored.
    vti->StartTest(params);
    // The simulator reads on a thread of its own: the first request's commands all arrive first.
    for (size_t seen = SIZE_MAX; seen != sim->ReceivedCommands().size();) {
        seen = sim->ReceivedCommands().size();
        QThread::msleep(200);
    }
    sim->ClearReceived();
    vti->StartTest(params);
    QThread::msleep(200);
    EXPECT_TRUE(sim->ReceivedCommands().empty());
    vti->EndRemote();

    // TimeOut raises the time-out text without a message box.
    messages->Clear();
    e = Raised([&] { vti->TimeOut(); });
    EXPECT_EQ(e.Number(), eeVTI_MTIResponseTimeout);
    EXPECT_EQ(e.Description(), "Timeout error: A response was not received from the instrument.");
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(KorotkaVTITest, ConnectingFailsClearlyAndCanBeLeft) {
    // No port assigned: stuck connecting until EndRemote.
    instruments = std::make_shared<orvex::HostInstrumentRegistry>();
    orvex::HostServices::SetInstruments(instruments);
    auto e = Raised([&] { vti->StartRemote(); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_TRUE(e.Description().isEmpty());
    EXPECT_EQ(vti->VtiState(), evtiConnecting);
    vti->StartRemote();  // turned away silently while connecting
    vti->EndRemote();
    EXPECT_EQ(vti->VtiState(), evtiNotConnected);

    // The port is held by another program: one message about the port, then "not found".
    instruments->Assign(kPort, {"Korotka", "", "", 1});
    CChannel holder;
    holder.Open(kPort, "9600,N,8,1");
    messages->Clear();
    e = Raised([&] { vti->StartRemote(); });
    EXPECT_EQ(e.Number(), eeVTI_MTINotFound);
    EXPECT_TRUE(e.Description().startsWith("Could not establish communications"));
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_TRUE(messages->Shown()[0].text.startsWith("1: The communication port was not available."));
    EXPECT_EQ(vti->VtiState(), evtiNotConnected);
    holder.Close();
    vti->StartRemote();
    EXPECT_EQ(vti->VtiState(), evtiIdle);
}

TEST_F(KorotkaVTITest, StopTestOnANeverConnectedObjectLeavesAClosedLine) {
    eTestId id = TESTID_VENT;
    vti->StopTest(id);
    EXPECT_EQ(vti->VtiState(), evtiIdle);
    Variant params = Params({900});
    const auto e = Raised([&] { vti->StartTest(params); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(vti->VtiState(), evtiBusy);
}

TEST_F(KorotkaVTITest, ASilentSetUpReplyEndsTheRequestAfterFourWindows) {
    vti->StartRemote();
    sim->SetFault(korotkasim::Fault::Silence);
    Variant params = Params({300, "250", 1, false, 0, true});  // unit command, no bleed
    QElapsedTimer clock;
    clock.start();
    const auto e = Raised([&] { vti->StartTest(params); });
    EXPECT_GE(clock.elapsed(), 3900);
    EXPECT_LT(clock.elapsed(), 5500);
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_EQ(e.Description(), "Timeout error: A response was not received from the instrument.");
    EXPECT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(vti->VtiState(), evtiBusy);
}

TEST_F(KorotkaVTITest, EndingTheRunWhileARequestWaitsIsSafe) {
    // The window's Stop button ends the run while the instrument is still venting.
    vti->StartRemote();
    sim->SetReplyDelayMs(400);
    QTimer::singleShot(100, [this] { vti->EndRemote(); });
    Variant params = Params({300, "250", 0, false, 0, false});
    const auto e = Raised([&] { vti->StartTest(params); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_EQ(vti->VtiState(), evtiNotConnected);

    // Releasing the object from inside the wait: it lives until the request is over.
    vti->StartRemote();
    std::weak_ptr<CKorotkaVTI> watch = vti;
    CKorotkaVTI* raw = vti.get();
    QTimer::singleShot(100, [this] { vti.reset(); });
    try {
        raw->StartTest(params);
    } catch (const orvex::ComError&) {
    }
    EXPECT_TRUE(watch.expired());
}
