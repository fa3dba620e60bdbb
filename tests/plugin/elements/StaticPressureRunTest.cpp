#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "driver/GDeclares.h"
#include "host/HostPerformContext.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IResultData.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/elements/CTestStaticPressure.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/measure/CKorotkaLimitData.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/results/CResultStaticPressure.h"
#include "support/SimulatorFixture.h"

using korotka::CTestStaticPressure;
using korotka::FTestGuide;
using orvex::Variant;

namespace {

// Plays the technician while the guide window is up: each step waits, polled every 10 ms,
// until it can act, and the next step starts after it. Clicks are queued, as a person's are, so
// that the handler they start runs from the event loop and the polling goes on meanwhile.
class Technician {
public:
    using Step = std::function<bool()>;
    explicit Technician(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            while (m_next < m_steps.size() && m_steps[m_next]()) ++m_next;
        });
        m_timer.start(10);
    }
    bool Finished() const { return m_next == m_steps.size(); }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
    QTimer m_timer;
};

}  // namespace

class StaticPressureRun : public SimulatorFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
        korotka::CPlugInKorotka::StartUp();
        korotkasim::SimOptions fast;
        fast.timeScale = 0.01;
        StartSimulator(fast);
        instruments->Assign(kPort, {"Korotka", "KT-0001234", "2.10", 1});
        element = std::make_shared<CTestStaticPressure>();
        element->Initialize(QStringLiteral("Korotka"), korotka::TESTID_PRESS_STATIC, 1);
        context = std::make_shared<orvex::HostPerformContext>();
    }
    void TearDown() override {
        element.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SimulatorFixture::TearDown();
    }

    // DIFF within 3 mmHg.
    void LimitDifference() {
        const auto limits = std::dynamic_pointer_cast<korotka::CKorotkaLimitData>(element->Limits());
        const auto diff = limits->CreateStandard(Variant("ISO"), Variant("ISO 81060-1"))->Item(3);
        diff->SetValue(orvex::LimitEntry::kHigh, 3);
        diff->SetEnabled(orvex::LimitEntry::kHigh, true);
        diff->SetValue(orvex::LimitEntry::kLow, -3);
        diff->SetEnabled(orvex::LimitEntry::kLow, true);
    }

    std::shared_ptr<FTestGuide> Guide() const { return element->TestGuide(); }

    // Presses a tool bar button once it is there and enabled.
    Technician::Step Press(int32_t number) {
        return [this, number] {
            const auto guide = Guide();
            if (!guide || !guide->isVisible()) return false;
            auto* button = dynamic_cast<QAbstractButton*>(guide->Toolbar()->Buttons(number).get());
            if (button == nullptr || !button->isEnabled()) return false;
            // Queued: the click runs the test's handler, which must not run inside this poll.
            QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
            return true;
        };
    }
    // Waits until the guide has shown so many gauge readings.
    Technician::Step Readings(int count) {
        return [this, count] {
            const auto guide = Guide();
            if (!guide) return false;
            if (!m_counting) {
                m_counting = true;
                QObject::connect(guide.get(), &FTestGuide::ValuesShown, [this] { ++m_readings; });
            }
            return m_readings >= count;
        };
    }
    // Types the reading into the open edit box, then Enter.
    Technician::Step Type(const QString& text) {
        return [this, text] {
            const auto guide = Guide();
            auto* box = guide ? guide->findChild<QLineEdit*>(QStringLiteral("txtEdit")) : nullptr;
            if (box == nullptr || !box->isVisible()) return false;
            for (const QChar c : text + QChar(13)) {
                QKeyEvent press(QEvent::KeyPress, c == QChar(13) ? int{Qt::Key_Return} : int{c.unicode()},
                                Qt::NoModifier, QString(c));
                QApplication::sendEvent(box, &press);
            }
            return true;
        };
    }
    Technician::Step Answer(orvex::MessageService::Answer answer) {
        return [this, answer] {
            messages->SetAnswer(answer);
            return true;
        };
    }

    std::shared_ptr<korotka::CResultStaticPressure> Stored() const {
        return std::dynamic_pointer_cast<korotka::CResultStaticPressure>(element->Result());
    }
    static float Value(const std::shared_ptr<korotka::CResultStaticPressure>& result, const QString& key) {
        return result->MeasurementByKey(key)->GetValue().ToSingle();
    }

    std::shared_ptr<CTestStaticPressure> element;
    std::shared_ptr<orvex::HostPerformContext> context;
    bool m_counting = false;
    int m_readings = 0;
};

TEST_F(StaticPressureRun, ARunStoresTheJudgedReadingsAndTheInstrumentKeepsItsIndex) {
    for (int run = 1; run <= 2; ++run) {
        m_counting = false;
        m_readings = 0;
        Technician technician({Press(FTestGuide::kStart), Readings(2), Press(FTestGuide::kStop), Type("251"),
                               Press(FTestGuide::kNext)});
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
    Technician technician({Press(FTestGuide::kStart), Readings(1), Press(FTestGuide::kStop), Type("262"),
                           Answer(orvex::MessageService::Answer::No), Press(FTestGuide::kNext),
                           [&] {
                               openAfterNo = Guide() && Guide()->isVisible();
                               return true;
                           },
                           Answer(orvex::MessageService::Answer::Yes), Press(FTestGuide::kNext)});
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
    Technician technician({Press(FTestGuide::kStart), Readings(1), Press(FTestGuide::kStop), Type("250"),
                           Answer(orvex::MessageService::Answer::Yes), Press(FTestGuide::kAbort)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(context->StoredResults().isEmpty());
    EXPECT_FALSE(element->Result());
    EXPECT_EQ(context->Navigations(), QList<int32_t>{2});
}

// A line that goes while the gauge is read: the test ends through its error path, the technician
// is told, the readings taken so far stay (Previous keeps them as Next would), and the guide is
// idle.
TEST_F(StaticPressureRun, ALostLineEndsTheTestAndKeepsTheReadingsTaken) {
    bool idle = false;
    Technician technician({Press(FTestGuide::kStart), Readings(2),
                           [&] {
                               sim->HangUp();
                               return true;
                           },
                           [&] {
                               const auto guide = Guide();
                               idle = guide->Toolbar()->Buttons(FTestGuide::kStart)->Enabled() &&
                                      !guide->Toolbar()->Buttons(FTestGuide::kStart)->Pressed() &&
                                      guide->MousePointer() == FTestGuide::kPointerDefault;
                               return idle && !messages->Shown().isEmpty();
                           },
                           Press(FTestGuide::kPrevious)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_TRUE(idle);
    EXPECT_EQ(messages->Shown()[0].text, "1: The connection to the instrument was lost.");
    EXPECT_NEAR(Value(Stored(), "MANO"), 250.0F, 1.0F);
    EXPECT_EQ(context->StoredResults().size(), 1);
}

// A Korotka that cannot build the pressure: the test ends through its error path at once, says
// why, and leaves the guide idle with no instruction marked.
TEST_F(StaticPressureRun, APressureThatCannotBeReachedEndsTheTestAndSaysWhy) {
    korotkasim::SimOptions unreachable;
    unreachable.timeScale = 0.01;
    unreachable.fault = korotkasim::Fault::Unreachable;
    StartSimulator(unreachable);
    bool idle = false;
    Technician technician({Press(FTestGuide::kStart),
                           [&] {
                               const auto guide = Guide();
                               idle = !guide->Toolbar()->Buttons(FTestGuide::kStart)->Pressed() &&
                                      guide->MousePointer() == FTestGuide::kPointerDefault;
                               return idle && !messages->Shown().isEmpty();
                           },
                           Answer(orvex::MessageService::Answer::Yes), Press(FTestGuide::kAbort)});
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
    Technician technician({Press(FTestGuide::kStart), Readings(0), pumping,
                           [&] {
                               emit Guide()->Toolbar()->hWnd()->findChild<QShortcut*>()->activated();
                               return true;
                           },
                           Type("250"), Press(FTestGuide::kNext)});
    element->Perform(context);
    ASSERT_TRUE(technician.Finished());
    EXPECT_EQ(m_readings, 1);
    EXPECT_NEAR(Value(Stored(), "MANO"), 250.0F, 1.0F);
}
