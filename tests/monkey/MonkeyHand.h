#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "host/platform/HostMessageService.h"

class MonkeyWatchdog;
class QWidget;

namespace korotka {
class FTestGuide;
}
namespace korotkasim {
class Simulator;
}

// A person at the test guide windows who, at random moments, does what a person might: presses
// any enabled tool bar button, F5 or Escape, clicks the close box, types a reading (or nonsense)
// into the result, answers a question either way. After its budget of actions it winds the run
// down as a person in a hurry would: Stop, Abort, at last the close box. It notes each window
// from its showing to its going: what the line saw when it went, what was typed into it and how
// its questions were answered.
class MonkeyHand : public QObject {
public:
    // How a window went: the action under way when it was hidden.
    enum class Ending { None, Next, Previous, Skip, NotApplicable, Abort };

    struct Window {
        int position = -1;
        // Whether Skip and N/A were seen enabled while it showed.
        bool skipOffered = false;
        bool notApplicableOffered = false;
        bool hidden = false;
        Ending ending = Ending::None;
        QDateTime hiddenAt;
        // Descriptors on the line, and commands the instrument had seen, when the window went.
        int openAtHide = 0;
        std::size_t commandsAtHide = 0;
        // Commands seen by the time the next window showed or the run was over.
        std::size_t commandsAfter = 0;
        // Texts typed into a reading's box since the last Start (which empties the readings), in order.
        struct Typing {
            QString key;
            QString text;
        };
        std::vector<Typing> typed;
        // Starts pressed.
        int starts = 0;
        // Texts typed into a box, and those the box did not hold as typed: a character dropped or
        // changed on the way.
        int typings = 0;
        QStringList altered;
        // Questions answered while it showed.
        int yes = 0;
        int no = 0;
        // Previous pressed and a question of it answered no; and whether the window went all the same.
        int declinedPrevious = 0;
        bool wentDespiteNo = false;
    };
    // The sequence position of the test a guide window belongs to; -1 when none.
    using Locator = std::function<int(QWidget* guide)>;
    // What to type at a reading of the key.
    using Typist = std::function<QString(const QString& key)>;

    MonkeyHand(std::mt19937& random, korotkasim::Simulator& simulator, orvex::HostMessageService& messages,
               MonkeyWatchdog& log, double timeScale);
    ~MonkeyHand() override;

    // From now on it plays whatever guide window shows.
    void Start(int budget, Locator locate, Typist typist);
    // The run is over: lets stray timers have their go, then closes the books.
    void Finish();
    const std::vector<Window>& Windows() const { return m_windows; }
    int Actions() const { return m_actions; }
    // Questions answered while no guide window showed.
    int Yes() const { return m_yes; }
    int No() const { return m_no; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Action {
        QString name;
        Ending ending;
        std::function<void()> act;
        // Start empties the readings: what was typed before is no longer in them.
        bool starts = false;
    };

    void Tick();
    void Act(korotka::FTestGuide& guide);
    void WindDown(korotka::FTestGuide& guide);
    bool Enabled(korotka::FTestGuide& guide, int32_t number) const;
    Action Press(korotka::FTestGuide& guide, int32_t number, const QString& name, Ending ending);
    Action Type(korotka::FTestGuide& guide);
    // Runs the action from the event loop, so that the polls go on while its handler runs the
    // instrument (the timer does not fire while its own handler is on the stack).
    void Dispatch(Action action);
    orvex::MessageService::Answer Answer(const orvex::HostMessageService::Message& message);
    int Delay();
    void Note(const QString& line);

    std::mt19937& m_random;
    korotkasim::Simulator& m_simulator;
    orvex::HostMessageService& m_messages;
    MonkeyWatchdog& m_log;
    double m_timeScale;
    Locator m_locate;
    Typist m_typist;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_nextAt = 0;
    int m_budget = 0;
    int m_actions = 0;
    int m_yes = 0;
    int m_no = 0;
    bool m_pending = false;
    // The action under way was Previous and a question of it was answered no.
    bool m_declinedPrevious = false;
    bool m_windingDown = false;
    QElapsedTimer m_windDown;
    // Innermost last: a handler may run the event loop, and the actions taken meanwhile nest.
    std::vector<Ending> m_underWay;
    std::vector<Window> m_windows;
};
