#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgProgressBar.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/elements/FTimer.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/measure/CKorotkaLimitData.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/results/CResultBP.h"
#include "plugin/results/CResultStaticPressure.h"
#include "plugin/views/IKorotkaResultView.h"
#include "plugin/views/XTestInstruction.h"
#include "support/Raised.h"
#include "support/SimulatorFixture.h"
#include "support/TestElementStub.h"

using korotka::CKorotkaVTI;
using korotka::FTestGuide;
using orvex::Variant;
using orvex::VariantArray;

namespace {

// A test element as the guide sees it: with limit data too.
class GuidedElement : public TestElementStub {
public:
    using TestElementStub::TestElementStub;
    std::shared_ptr<orvex::ILimitData> Limits() override { return limits; }
    std::shared_ptr<orvex::ILimitData> limits;
};

Variant ReplyArray() { return Variant(VariantArray::FromList({Variant(0), Variant(""), Variant("")})); }

// The reviewer's pictures go beside the other views' pictures.
void Picture(QWidget& window, const QString& name) {
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(window.grab().save(folder + name));
}

}  // namespace

class TestGuide : public SimulatorFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
        korotka::CPlugInKorotka::StartUp();
        korotkasim::SimOptions fast;
        fast.timeScale = 0.01;
        StartSimulator(fast);
        instruments->Assign(kPort, {"Korotka", "KT-0001234", "2.10", 1});
        vti = std::make_shared<CKorotkaVTI>();
        guide = FTestGuide::Create();
    }
    void TearDown() override {
        guide.reset();
        vti.reset();
        // The window goes with deleteLater.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SimulatorFixture::TearDown();
    }

    // A static pressure test set up in the guide, with a result and limits.
    std::shared_ptr<GuidedElement> StaticPressure() {
        auto config = std::make_shared<korotka::CConfigPressure>();
        auto result = std::make_shared<korotka::CResultStaticPressure>();
        result->CreateMeasurements(QStringLiteral("mmHg"));
        auto element = std::make_shared<GuidedElement>(korotka::TESTID_PRESS_STATIC, config, result);
        auto limits = std::make_shared<korotka::CKorotkaLimitData>();
        limits->SetOwner(element);
        const auto standard = limits->CreateStandard(Variant("ISO"), Variant("ISO 81060-1"));
        // DIFF within 3 mmHg.
        const auto diff = standard->Item(3);
        diff->SetValue(orvex::LimitEntry::kHigh, 3);
        diff->SetEnabled(orvex::LimitEntry::kHigh, true);
        diff->SetValue(orvex::LimitEntry::kLow, -3);
        diff->SetEnabled(orvex::LimitEntry::kLow, true);
        element->limits = limits;
        guide->InitGuide(
            element, nullptr,
            Variant(VariantArray::FromList({Variant("1. Connect the gauge to the Korotka."),
                                            Variant("2. Press Start."), Variant("3. Read the gauge.")})),
            Variant());
        return element;
    }

    bool Enabled(int32_t button) { return guide->Toolbar()->Buttons(button)->Enabled(); }

    std::shared_ptr<CKorotkaVTI> vti;
    std::shared_ptr<FTestGuide> guide;
};

TEST_F(TestGuide, AStepPollsUntilTheInstrumentAnswersOrItsLimitIsReached) {
    vti->StartRemote();
    sim->SetAutoReply(false);
    const Variant params(VariantArray::FromList({Variant(0), Variant("250"), Variant(0), Variant(true)}));

    // Every reply without an acknowledgement: polls to the limit, then the time-out error, and the
    // step's own StopTest is not reached (the instrument is still performing the test).
    sim->Schedule({{20, "x\r\n"}, {150, "y\r\n"}, {150, "z\r\n"}});
    Variant results = ReplyArray();
    auto e = Raised([&] { guide->RunInstrumentStep(vti, 300, params, results, 3, true, false); });
    EXPECT_EQ(e.Number(), korotka::eeVTI_MTIResponseTimeout);
    EXPECT_EQ(e.Description(), "Timeout error: A response was not received from the instrument.");
    EXPECT_EQ(guide->ProgressPercent(), 100);
    EXPECT_EQ(vti->VtiState(), korotka::evtiPerformingTest);

    // One poll allowed and a silent first window: one poll, then the same error.
    guide->SetProgressPercent(0);
    results = ReplyArray();
    e = Raised([&] { guide->RunInstrumentStep(vti, 300, params, results, 1, true, false); });
    EXPECT_EQ(e.Number(), korotka::eeVTI_MTIResponseTimeout);
    EXPECT_EQ(guide->ProgressPercent(), 100);

    // An acknowledgement without a reading does not complete a step that needs one.
    sim->Schedule({{20, "\x06\r\n"},
                   {150,
                    "\x06"
                    "250.0 mmHg\r\n"}});
    results = ReplyArray();
    guide->RunInstrumentStep(vti, 300, params, results, 5, true, true);
    EXPECT_EQ(results.ToArray().At(1).ToString(), "250.0");
    EXPECT_EQ(guide->ProgressPercent(), 40);
    EXPECT_EQ(vti->VtiState(), korotka::evtiIdle);
    EXPECT_EQ(sim->ReceivedCommands().back(), "[GAUGE]");
}

TEST_F(TestGuide, ToolbarClicksRaiseTheirEventsByTheRules) {
    const auto element = StaticPressure();
    QStringList raised;
    for (const auto& [signal, name] :
         std::vector<std::pair<void (FTestGuide::*)(), QString>>{{&FTestGuide::StartTest, "StartTest"},
                                                                 {&FTestGuide::StopTest, "StopTest"},
                                                                 {&FTestGuide::Abort, "Abort"},
                                                                 {&FTestGuide::NextTest, "NextTest"}}) {
        QObject::connect(guide.get(), signal, guide.get(), [&raised, name] { raised << name; });
    }
    auto* goOn = guide->Toolbar()->hWnd()->findChild<QShortcut*>();
    ASSERT_NE(goOn, nullptr);

    // Set up: no result yet, so Next is off; Stop is off until a test runs.
    EXPECT_FALSE(Enabled(orvex::XTgToolbar::kNext));
    EXPECT_FALSE(Enabled(orvex::XTgToolbar::kStop));
    EXPECT_TRUE(Enabled(orvex::XTgToolbar::kStart));

    // F5 with Next enabled moves on instead of starting the test again.
    guide->EnableNextButton(true);
    emit goOn->activated();
    EXPECT_EQ(raised, QStringList{"NextTest"});

    // Start, then F5 stops the started test; Stop and Abort go off.
    raised.clear();
    guide->EnableNextButton(false);
    emit goOn->activated();
    guide->SetStopEnabled(true);
    emit goOn->activated();
    EXPECT_EQ(raised, QStringList({"StartTest", "StopTest"}));
    EXPECT_FALSE(Enabled(orvex::XTgToolbar::kStop));
    EXPECT_FALSE(Enabled(orvex::XTgToolbar::kAbort));

    // The close box asks first and closes nothing.
    raised.clear();
    messages->SetAnswer(orvex::MessageService::Answer::No);
    guide->show();
    guide->close();
    EXPECT_TRUE(guide->isVisible());
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    guide->close();
    EXPECT_EQ(raised, QStringList{"Abort"});
    EXPECT_TRUE(guide->isVisible());
}

// The technician closes the window while a step waits for the instrument, and the element lets
// go of the window and the instrument at once: nothing may be used after it was destroyed (the
// sanitizer build watches), and the step ends with an error instead of a reading.
TEST_F(TestGuide, ClosingTheWindowDuringAStepDestroysNothingInUse) {
    StaticPressure();
    vti->StartRemote();
    sim->SetAutoReply(false);
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    std::weak_ptr<FTestGuide> watch = guide;
    FTestGuide* window = guide.get();
    QObject::connect(window, &FTestGuide::Abort, window, [this] {
        guide.reset();
        vti->EndRemote();
        vti.reset();
    });
    QTimer::singleShot(300, window, [window] { window->close(); });
    Variant results = ReplyArray();
    const auto instrument = vti;
    const auto e = Raised([&] {
        window->RunInstrumentStep(
            instrument, 300,
            Variant(VariantArray::FromList({Variant(0), Variant("250"), Variant(0), Variant(true)})), results,
            20, true, false);
    });
    EXPECT_EQ(e.Number(), korotka::eeVTI_Error);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(results.ToArray().At(1).ToString(), "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(TestGuide, TheOneSecondClockTicksOnceUntilReArmed) {
    korotka::FTimer timer;
    int ticks = 0;
    QObject::connect(&timer, &korotka::FTimer::TimerTick, [&ticks] { ++ticks; });
    timer.StartTimer();
    Pump(2300);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer.Running());
}

TEST_F(TestGuide, RendersForTheReviewer) {
    const auto element = StaticPressure();
    guide->resize(760, 560);
    guide->show();
    Picture(*guide, QStringLiteral("FTestGuide-static-idle.png"));

    // Running: live values and progress.
    guide->SetRunning(true, Variant(VariantArray::FromList({Variant(3)})));
    guide->SetStopEnabled(true);
    guide->SetPressureUnit(QStringLiteral("mmHg"));
    guide->SetSetpoint(Variant(250));
    guide->SetManometer(Variant(249.6F));
    guide->SetProgressPercent(40);
    guide->SetStatus(QStringLiteral("20651::Korotka value"), true);
    guide->UpdateProgress();
    Picture(*guide, QStringLiteral("FTestGuide-static-running.png"));

    // Done: the technician's reading fails its limit.
    guide->SetRunning(false, Variant(VariantArray::FromList({Variant(4), Variant(5)})));
    const auto result = std::dynamic_pointer_cast<korotka::CResultStaticPressure>(element->result);
    std::dynamic_pointer_cast<korotka::CMeasurement>(result->Measurement(Variant("STAT")))
        ->SetValue(Variant(262.0F));
    result->SetManometer(249.6F);
    result->Evaluate(element->limits, element->limits->Standards(), false);
    guide->ShowResult(result);
    ASSERT_NE(guide->ResultView(), nullptr);
    guide->ResultView()->ShowStandard(QStringLiteral("ISO"), QStringLiteral("ISO 81060-1"), false);
    EXPECT_EQ(result->Status(), 2);
    Picture(*guide, QStringLiteral("FTestGuide-static-failed.png"));
    guide->hide();

    // A blood-pressure run asks the technician to start the monitor.
    auto config = std::make_shared<korotka::CConfigPBP>();
    config->SetTestType(korotka::ebpStandard);
    auto bpResult = std::make_shared<korotka::CResultBP>();
    bpResult->CreateMeasurements(config);
    auto bp = std::make_shared<GuidedElement>(korotka::TESTID_BP_STD, config, bpResult);
    auto bpGuide = FTestGuide::Create();
    bpGuide->InitGuide(bp, nullptr,
                       Variant(VariantArray::FromList(
                           {Variant("1. Connect the cuff to the Korotka."), Variant("2. Press Start.")})),
                       Variant());
    bpGuide->resize(760, 560);
    bpGuide->show();
    bpGuide->ShowPopup(QStringLiteral("20201::PLEASE START NIBP NOW"), QStringLiteral("START"), true);
    Picture(*bpGuide, QStringLiteral("FTestGuide-bp-popup.png"));
    const auto* popup = bpGuide->findChild<korotka::XTestInstruction*>(QStringLiteral("xtiPopup"));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->Flash());
    bpGuide->HidePopup();
    EXPECT_FALSE(popup->Flash());
    bpGuide->hide();
}
