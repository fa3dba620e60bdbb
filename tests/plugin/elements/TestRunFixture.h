#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "driver/GDeclares.h"
#include "host/records/HostPerformContext.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/IResultData.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/elements/CTestBase.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/measure/CKorotkaLimitData.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/results/CResultBase.h"
#include "support/SimulatorFixture.h"

// Plays the technician while the guide window is up: each step waits, polled every 10 ms,
// until it can act, and the next step starts after it. Clicks are queued, as a person's are, so
// that the handler they start runs from the event loop and the polling goes on meanwhile.
class Technician {
public:
    using Step = std::function<bool()>;
    explicit Technician(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(10);
    }
    // Polled once more: the last click may have closed the guide before the timer saw it land.
    bool Finished() {
        Poll();
        return m_next == m_steps.size();
    }

private:
    void Poll() {
        while (m_next < m_steps.size() && m_steps[m_next]()) ++m_next;
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    QTimer m_timer;
};

// A test element of the plug-in performed against the simulated Korotka, played by a Technician.
class TestRun : public SimulatorFixture {
protected:
    using FTestGuide = korotka::FTestGuide;
    using Variant = orvex::Variant;

    void SetUp() override {
        HostFixture::SetUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
        korotka::CPlugInKorotka::StartUp();
        korotkasim::SimOptions fast;
        fast.timeScale = 0.01;
        StartSimulator(fast);
        instruments->Assign(kPort, {"Korotka", "KT-0001234", "2.10", 1});
        context = std::make_shared<orvex::HostPerformContext>();
    }
    void TearDown() override {
        element.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SimulatorFixture::TearDown();
    }

    template <class Test>
    void Make(int32_t testId) {
        element = std::make_shared<Test>();
        element->Initialize(QStringLiteral("Korotka"), testId, 1);
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

    // Presses a tool bar button once it is there and enabled. The step is done when the click
    // reached a button still enabled then; one that was disabled meanwhile is pressed again later.
    Technician::Step Press(int32_t number) {
        enum class Click { None, Queued, Delivered };
        auto click = std::make_shared<Click>(Click::None);
        return [this, number, click] {
            if (*click == Click::Delivered) return true;
            if (*click == Click::Queued) return false;
            const auto guide = Guide();
            if (!guide || !guide->isVisible()) return false;
            QPointer<QAbstractButton> button =
                dynamic_cast<QAbstractButton*>(guide->Toolbar()->Buttons(number).get());
            if (button == nullptr || !button->isEnabled()) return false;
            *click = Click::Queued;
            // Queued: the click runs the test's handler, which must not run inside this poll.
            QMetaObject::invokeMethod(
                button,
                [button, click] {
                    if (!button->isEnabled()) {
                        *click = Click::None;
                        return;
                    }
                    *click = Click::Delivered;
                    button->click();
                },
                Qt::QueuedConnection);
            return false;
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
            auto* box = guide ? guide->findChild<QLineEdit*>(orvex::GuideWindowNames::kEditBox) : nullptr;
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
    // The result as the window holds it now: a way back leaves none stored to look at afterwards.
    Technician::Step Keep(std::shared_ptr<korotka::CResultBase>& result) {
        return [this, &result] {
            result = Stored();
            return true;
        };
    }

    std::shared_ptr<korotka::CResultBase> Stored() const {
        return std::dynamic_pointer_cast<korotka::CResultBase>(element->Result());
    }
    static float Value(const std::shared_ptr<korotka::CResultBase>& result, const QString& key) {
        return result->MeasurementByKey(key)->GetValue().ToSingle();
    }

    std::shared_ptr<korotka::CTestBase> element;
    std::shared_ptr<orvex::HostPerformContext> context;
    bool m_counting = false;
    int m_readings = 0;
};
