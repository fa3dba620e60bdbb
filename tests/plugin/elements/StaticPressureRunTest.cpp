#include "TestRunFixture.h"
#include "plugin/elements/CTestStaticPressure.h"

class StaticPressureRun : public TestRun {
protected:
    void SetUp() override {
        TestRun::SetUp();
        // A tight cuff: the readings are paced, and a leak would move the gauge between them.
        korotkasim::SimOptions tight;
        tight.timeScale = 0.01;
        tight.leakMmHgPerMin = 0.0;
        StartSimulator(tight);
        Make<korotka::CTestStaticPressure>(korotka::TESTID_PRESS_STATIC);
    }
};

TEST_F(StaticPressureRun, ARunStoresTheJudgedReadingsAndTheInstrumentKeepsItsIndex) {
    for (int run = 1; run <= 2; ++run) {
        m_counting = false;
        m_readings = 0;
        Technician technician({Press(orvex::XTgToolbar::kStart), Readings(2), Press(orvex::XTgToolbar::kStop),
                               Type("251"), Press(orvex::XTgToolbar::kNext)});
        element->Perform(context);
        ASSERT_TRUE(technician.Finished()) << "run " << run;
        const auto result = Stored();
        ASSERT_TRUE(result);
        EXPECT_NEAR(Value(result, "MANO"), 250.0F, 1.0F);
        EXPECT_EQ(Value(result, "STAT"), 251.0F);
        EXPECT_FLOAT_EQ(Value(result, "DIFF"), 251.0F - Value(result, "MANO"));
        EXPECT_EQ(result->Status(), 1);
        EXPECT_EQ(result->MTIID(), 1) << "run " << run;
    }
    EXPECT_EQ(context->StoredResults().size(), 2);
    EXPECT_EQ(context->Instruments().size(), 1);
    EXPECT_EQ(context->Navigations(), QList<int32_t>({0, 0}));
}

TEST_F(StaticPressureRun, AFailedResultIsKeptOnlyWhenTheTechnicianSaysSo) {
    LimitDifference();
    bool openAfterNo = false;
    Technician technician({Press(orvex::XTgToolbar::kStart), Readings(1), Press(orvex::XTgToolbar::kStop),
                           Type("262"), Answer(orvex::MessageService::Answer::No),
                           Press(orvex::XTgToolbar::kNext),
                           [&] {
                               openAfterNo = Guide() && Guide()->isVisible();
                               return true;
                           },
                           Answer(orvex::MessageService::Answer::Yes), Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(openAfterNo);
    ASSERT_EQ(messages->Shown().size(), 2);
    EXPECT_EQ(messages->Shown()[0].text,
              "The test failed. Do you want store this failed test result and continue with the next test?");
    EXPECT_EQ(messages->Shown()[0].icon, orvex::MessageService::Icon::Exclamation);
    EXPECT_EQ(Stored()->Status(), 2);
    EXPECT_EQ(context->StoredResults().size(), 1);
}

TEST_F(StaticPressureRun, NothingIsStoredWhenTheTestIsNotPerformedOrAborted) {
    context->SetPerformAnswer(false);
    element->Perform(context);
    EXPECT_TRUE(context->StoredResults().isEmpty());
    EXPECT_FALSE(element->Result());

    context->SetPerformAnswer(true);
    Technician technician({Press(orvex::XTgToolbar::kStart), Readings(1), Press(orvex::XTgToolbar::kStop),
                           Type("250"), Answer(orvex::MessageService::Answer::Yes),
                           Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(context->StoredResults().isEmpty());
    EXPECT_FALSE(element->Result());
    EXPECT_EQ(context->Navigations(), QList<int32_t>{2});
}

// A line that goes while the gauge is read: the test ends through its error path, the technician
// is told, the readings taken so far stay, and the guide is idle. Previous asks before it discards
// them: No stays on the test, Yes goes back and stores nothing.
TEST_F(StaticPressureRun, ALostLineEndsTheTestAndKeepsTheReadingsTaken) {
    bool idle = false;
    std::shared_ptr<korotka::CResultBase> kept;
    Technician technician({Press(orvex::XTgToolbar::kStart), Readings(2),
                           [&] {
                               sim->HangUp();
                               return true;
                           },
                           [&] {
                               const auto guide = Guide();
                               idle = guide->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Enabled() &&
                                      !guide->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Pressed() &&
                                      guide->MousePointer() == FTestGuide::kPointerDefault;
                               return idle && !messages->Shown().isEmpty();
                           },
                           Answer(orvex::MessageService::Answer::No), Press(orvex::XTgToolbar::kPrevious),
                           [&] { return messages->Shown().size() == 2 && Guide()->isVisible(); }, Keep(kept),
                           Answer(orvex::MessageService::Answer::Yes), Press(orvex::XTgToolbar::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(idle);
    EXPECT_EQ(messages->Shown()[0].text, "1: The connection to the instrument was lost.");
    ASSERT_EQ(messages->Shown().size(), 3);
    EXPECT_EQ(messages->Shown()[2].text,
              "The readings of this test will be discarded. Go back to the previous test?");
    ASSERT_NE(kept, nullptr);
    EXPECT_NEAR(Value(kept, "MANO"), 250.0F, 1.0F);
    EXPECT_TRUE(context->StoredResults().isEmpty());
    EXPECT_EQ(context->Navigations(), QList<int32_t>{1});
}

// A Korotka that cannot build the pressure: the test ends through its error path at once, says
// why, and leaves the guide idle with no instruction marked.
TEST_F(StaticPressureRun, APressureThatCannotBeReachedEndsTheTestAndSaysWhy) {
    korotkasim::SimOptions unreachable;
    unreachable.timeScale = 0.01;
    unreachable.fault = korotkasim::Fault::Unreachable;
    StartSimulator(unreachable);
    bool idle = false;
    Technician technician({Press(orvex::XTgToolbar::kStart),
                           [&] {
                               const auto guide = Guide();
                               idle = !guide->Toolbar()->Buttons(orvex::XTgToolbar::kStart)->Pressed() &&
                                      guide->MousePointer() == FTestGuide::kPointerDefault;
                               return idle && !messages->Shown().isEmpty();
                           },
                           Answer(orvex::MessageService::Answer::Yes), Press(orvex::XTgToolbar::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(idle);
    EXPECT_EQ(messages->Shown()[0].text, "The inflate pressure could not be reached.");
    EXPECT_EQ(sim->ReceivedCommands().back(), "[GAUGE]");
    EXPECT_TRUE(context->StoredResults().isEmpty());
}

// Stop (here F5, as Stop itself is still off) while the gauge waits for the pressure: the reading
// loop still runs once, so the result holds a reading taken at the held pressure.
TEST_F(StaticPressureRun, StopDuringThePumpEndsAfterOneReading) {
    korotkasim::SimOptions slow;
    slow.timeScale = 0.05;
    StartSimulator(slow);
    const auto pumping = [&] {
        const auto received = sim->ReceivedCommands();
        return std::count(received.begin(), received.end(), std::string("[GAUGE]")) == 1;
    };
    Technician technician({Press(orvex::XTgToolbar::kStart), Readings(0), pumping,
                           [&] {
                               emit Guide()->Toolbar()->hWnd()->findChild<QShortcut*>()->activated();
                               return true;
                           },
                           Type("250"), Press(orvex::XTgToolbar::kNext)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_EQ(m_readings, 1);
    EXPECT_NEAR(Value(Stored(), "MANO"), 250.0F, 1.0F);
}
