#include <QElapsedTimer>
#include <QLabel>

#include "TestRunFixture.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/elements/CTestBP.h"
#include "plugin/elements/CTestLeak.h"
#include "plugin/elements/CTestOverPressure.h"

namespace {

int Count(const std::vector<std::string>& commands, const std::string& prefix) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(),
                                          [&](const std::string& c) { return c.starts_with(prefix); }));
}

}  // namespace

class OtherTestRuns : public TestRun {
protected:
    void UseSimulator(korotkasim::Fault fault, double reliefMmHg = 300.0) {
        korotkasim::SimOptions options;
        options.timeScale = 0.01;
        options.fault = fault;
        options.reliefMmHg = reliefMmHg;
        StartSimulator(options);
    }
    // Waits until the technician has been told something.
    Technician::Step Told() {
        return [this] { return !messages->Shown().isEmpty(); };
    }
};

TEST_F(OtherTestRuns, TheKorotkasLeakTestGivesTheRateAndAnUnreachablePressureNone) {
    Make<korotka::CTestLeak>(korotka::TESTID_PRESS_LEAK);
    Technician run({Press(orvex::XTgToolbar::kStart), Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_FLOAT_EQ(Value(Stored(), "RATE"), 2.0F);
    EXPECT_EQ(Stored()->Status(), 1);
    EXPECT_EQ(Count(sim->ReceivedCommands(), "[LEAK,"), 1);

    UseSimulator(korotkasim::Fault::Unreachable);
    Technician failing({Press(orvex::XTgToolbar::kStart), Told(), Answer(orvex::MessageService::Answer::Yes),
                        Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(failing.Finished());
    EXPECT_EQ(messages->Shown()[0].text, "The inflate pressure could not be reached.");

    // An instrument that refuses the test is named as the reason, not passed over in silence.
    messages->Clear();
    context = std::make_shared<orvex::HostPerformContext>();
    UseSimulator(korotkasim::Fault::Nak);
    Technician refused({Press(orvex::XTgToolbar::kStart), Told(), Answer(orvex::MessageService::Answer::Yes),
                        Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(refused.Finished());
    EXPECT_EQ(messages->Shown()[0].text, "The instrument refused the command (it answered NAK).");
}

// Custom duration 0 runs until Stop; stopped at once, the interval has no time and so no rate:
// the result stays without values instead of an infinite one.
TEST_F(OtherTestRuns, ALeakIntervalOfNoTimeGivesNoRate) {
    Make<korotka::CTestLeak>(korotka::TESTID_PRESS_LEAK);
    const auto config = std::dynamic_pointer_cast<korotka::CConfigLeak>(element->Configuration());
    config->SetUseCustomDuration(true);
    config->SetDuration(0);
    bool vented = false;
    std::shared_ptr<korotka::CResultBase> result;
    Technician run({Press(orvex::XTgToolbar::kStart), Press(orvex::XTgToolbar::kStop),
                    [&] {
                        vented = Count(sim->ReceivedCommands(), "[BLEED_SYSTEM]") >= 2 &&
                                 Guide()->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Enabled() &&
                                 !Guide()->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Pressed();
                        return vented;
                    },
                    Keep(result), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_TRUE(vented);
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->MeasurementByKey("RATE")->GetValue().IsEmpty() ||
                result->MeasurementByKey("RATE")->GetValue().IsNull());
    // Nothing was read, so going back asks nothing.
    EXPECT_TRUE(messages->Shown().isEmpty());
}

// Custom duration: a pressure that does not hold near the target while settling ends the run, and
// a Stop before the duration has passed leaves no values either.
TEST_F(OtherTestRuns, ACustomLeakTestWithoutAFullIntervalGivesNoValues) {
    Make<korotka::CTestLeak>(korotka::TESTID_PRESS_LEAK);
    const auto config = std::dynamic_pointer_cast<korotka::CConfigLeak>(element->Configuration());
    config->SetUseCustomDuration(true);
    config->SetDuration(600);
    std::shared_ptr<korotka::CResultBase> result;
    const auto rate = [&result] { return result->MeasurementByKey("RATE")->GetValue(); };

    Technician early({Press(orvex::XTgToolbar::kStart), Readings(5), Press(orvex::XTgToolbar::kStop),
                      [&] { return !Guide()->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Pressed(); },
                      Keep(result), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(early.Finished());
    EXPECT_TRUE(rate().IsEmpty() || rate().IsNull());
    EXPECT_TRUE(messages->Shown().isEmpty());

    // The pump stalls below the target: the first settling reading is under 80 % of it.
    UseSimulator(korotkasim::Fault::Unreachable);
    Technician low(
        {Press(orvex::XTgToolbar::kStart), Told(), Keep(result), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(low.Finished());
    EXPECT_EQ(messages->Shown()[0].text, "The inflate pressure could not be reached.");
    EXPECT_TRUE(rate().IsEmpty() || rate().IsNull());
}

TEST_F(OtherTestRuns, TheReliefValveOpensOnceAndAValveThatNeverOpensIsNoReading) {
    Make<korotka::CTestOverPressure>(korotka::TESTID_PRESS_RELIEF);
    Technician run({Press(orvex::XTgToolbar::kStart), Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_FLOAT_EQ(Value(Stored(), "PEAK"), 300.0F);
    // Released below the configured 380 mmHg.
    EXPECT_TRUE(Stored()->MeasurementByKey("MREL")->GetValue().ToBoolean());
    EXPECT_EQ(Count(sim->ReceivedCommands(), "[RELIEF,"), 1);

    // A valve that opens only at the configured pressure has not protected the patient.
    UseSimulator(korotkasim::Fault::None, 380.0);
    Technician atLimit({Press(orvex::XTgToolbar::kStart), Answer(orvex::MessageService::Answer::Yes),
                        Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(atLimit.Finished());
    EXPECT_FLOAT_EQ(Value(Stored(), "PEAK"), 380.0F);
    EXPECT_FALSE(Stored()->MeasurementByKey("MREL")->GetValue().ToBoolean());
    EXPECT_EQ(Stored()->Status(), 2);

    messages->Clear();
    UseSimulator(korotkasim::Fault::NeverRelease);
    Technician failing({Press(orvex::XTgToolbar::kStart), Told(), Answer(orvex::MessageService::Answer::Yes),
                        Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(failing.Finished());
    EXPECT_EQ(messages->Shown()[0].text, "The inflate pressure could not be reached.");
}

// Stop while the relief step builds the pressure: the step ends, the system is vented, and no
// reading is left to judge, so Next stays off; the way out is Abort.
TEST_F(OtherTestRuns, StopDuringTheReliefStepVentsTheSystemAndLeavesNoReading) {
    korotkasim::SimOptions ownSpeed;
    StartSimulator(ownSpeed);
    Make<korotka::CTestOverPressure>(korotka::TESTID_PRESS_RELIEF);
    bool nextOffAtRest = false;
    Technician run({Press(orvex::XTgToolbar::kStart), Press(orvex::XTgToolbar::kStop),
                    [&] {
                        const auto toolbar = Guide()->Toolbar();
                        if (!toolbar->Buttons(orvex::XTgToolbar::kStart)->Enabled()) return false;
                        nextOffAtRest = !toolbar->Buttons(orvex::XTgToolbar::kNext)->Enabled();
                        return true;
                    },
                    Answer(orvex::MessageService::Answer::Yes), Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_TRUE(nextOffAtRest);
    const auto commands = sim->ReceivedCommands();
    const auto relief = std::find_if(commands.begin(), commands.end(),
                                     [](const std::string& c) { return c.starts_with("[RELIEF,"); });
    ASSERT_NE(relief, commands.end());
    EXPECT_EQ(Count({relief, commands.end()}, "[BLEED_SYSTEM]"), 1);
    EXPECT_TRUE(context->StoredResults().isEmpty());
    if (const auto result = Stored()) {
        EXPECT_TRUE(result->MeasurementByKey("PEAK")->GetValue().IsEmpty());
    }
}

TEST_F(OtherTestRuns, ABloodPressureRunPromptsThenTakesTheMonitorsValues) {
    Make<korotka::CTestBP>(korotka::TESTID_BP_STD);
    QElapsedTimer prompt;
    qint64 prompted = 0;
    const auto promptShown = [&] {
        const auto* text = Guide()->findChild<QLabel*>(QStringLiteral("lblHelpTxt"));
        return text != nullptr && text->isVisible() && text->text() == "PLEASE START NIBP NOW";
    };
    Technician run({Press(orvex::XTgToolbar::kStart),
                    [&] {
                        if (!promptShown()) return false;
                        prompt.start();
                        return true;
                    },
                    [&] {
                        auto* box = Guide()->findChild<QLineEdit*>(orvex::GuideWindowNames::kEditBox);
                        if (box == nullptr || !box->isVisible()) return false;
                        prompted = prompt.elapsed();
                        return true;
                    },
                    Type("121"), Type("79"), Type("80"), Type("93"), Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_FLOAT_EQ(Value(Stored(), "SYST"), 121.0F);
    EXPECT_FLOAT_EQ(Value(Stored(), "HART"), 80.0F);
    EXPECT_EQ(Stored()->Status(), 1);
    // The prompt stayed about 3 s, and the technician's polling went on meanwhile.
    EXPECT_GE(prompted, 2800);
    EXPECT_LT(prompted, 4000);

    // Stop before a slow simulator is ready: no prompt, the run is marked incomplete.
    korotkasim::SimOptions slow;
    slow.timeScale = 1.0;
    StartSimulator(slow);
    bool prompts = false;
    std::shared_ptr<korotka::CResultBase> result;
    Technician stopped({Press(orvex::XTgToolbar::kStart),
                        [&] { return Count(sim->ReceivedCommands(), "[SIM_") == 1; },
                        [&] {
                            emit Guide()->Toolbar()->hWnd()->findChild<QShortcut*>()->activated();
                            return true;
                        },
                        [&] {
                            prompts = prompts || promptShown();
                            return !Guide()->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Pressed();
                        },
                        Keep(result), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(stopped.Finished());
    EXPECT_FALSE(prompts);
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->MeasurementByKey("SYST")->Flags().contains("I"));
}

// A simulator that never says ready: after more polls than the Comm time-out the run ends through
// its error path, says why, and stores nothing.
TEST_F(OtherTestRuns, ASimulatorThatNeverGetsReadyEndsTheRunAndStoresNothing) {
    Make<korotka::CTestBP>(korotka::TESTID_BP_STD);
    UseSimulator(korotkasim::Fault::Nak);
    Technician run({Press(orvex::XTgToolbar::kStart), Told(), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(run.Finished());
    EXPECT_EQ(messages->Shown()[0].text, "Timeout error: A response was not received from the instrument.");
    EXPECT_TRUE(element->Discarded());
    EXPECT_TRUE(context->StoredResults().isEmpty());
}

TEST_F(OtherTestRuns, MeanPressureIsListedForEveryFamilyButTheStandardOne) {
    const auto keys = [this](int32_t testId) {
        Make<korotka::CTestBP>(testId);
        const orvex::VariantArray list = element->GetMeasurementList().ToArray();
        QStringList found;
        for (int32_t row = 0; list.Dimensions() == 2 && row <= list.UBound(1); ++row) {
            found << list.At(row, 0).ToString();
        }
        return found;
    };
    EXPECT_EQ(keys(korotka::TESTID_BP_STD), QStringList({"SYST", "DIAS", "HART"}));
    EXPECT_EQ(keys(korotka::TESTID_BP_RESPRIATORY), QStringList({"SYST", "DIAS", "HART", "MAPR"}));
}
