#include "MonkeyHand.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTreeWidget>
#include <array>
#include <chrono>
#include <thread>

#include "MonkeyWatchdog.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/elements/FTestGuide.h"
#include "sim/Simulator.h"

using korotka::FTestGuide;
using orvex::MessageService;
using Names = orvex::GuideWindowNames;
using orvex::XTgToolbar;

namespace {

constexpr int kPollMs = 10;
// A person's pause between two actions, at the simulator's usual scale of 0.01.
constexpr double kLongestPauseMs = 600.0;
constexpr double kUsualScale = 0.01;
// Winding down: a try every so often, and the close box once a test has had this long to end.
constexpr int kWindDownPollMs = 200;
constexpr int kPatienceMs = 5000;
// Long enough for the simulator's thread to read what is already on the line.
constexpr int kReadCatchUpMs = 20;
// Long enough for a stray timer or a late poll to reach the line.
constexpr int kSettleMs = 300;
// The value column of the result views; a click there opens the edit box.
constexpr int kValueColumn = 1;

FTestGuide* ShownGuide() {
    FTestGuide* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* guide = qobject_cast<FTestGuide*>(window); guide != nullptr && guide->isVisible())
            found = guide;
    }
    return found;
}

QAbstractButton* ButtonOf(FTestGuide& guide, int32_t number) {
    try {
        return dynamic_cast<QAbstractButton*>(guide.Toolbar()->Buttons(number).get());
    } catch (const std::exception&) {
        return nullptr;
    }
}

void ClickCell(QTreeWidget& list, QTreeWidgetItem& row, int column) {
    const QRect rect = list.visualItemRect(&row);
    const QHeaderView* header = list.header();
    const QPoint point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                       rect.center().y());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

}  // namespace

MonkeyHand::MonkeyHand(std::mt19937& random, korotkasim::Simulator& simulator,
                       orvex::HostMessageService& messages, MonkeyWatchdog& log, double timeScale)
    : m_random(random), m_simulator(simulator), m_messages(messages), m_log(log), m_timeScale(timeScale) {
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Tick(); });
}

MonkeyHand::~MonkeyHand() {
    qApp->removeEventFilter(this);
    m_messages.SetQuestionHandler(nullptr);
}

void MonkeyHand::Start(int budget, Locator locate, Typist typist) {
    m_budget = budget;
    m_actions = 0;
    m_yes = 0;
    m_no = 0;
    m_windingDown = false;
    m_locate = std::move(locate);
    m_typist = std::move(typist);
    m_windows.clear();
    m_messages.SetQuestionHandler(
        [this](const orvex::HostMessageService::Message& message) { return Answer(message); });
    qApp->installEventFilter(this);
    m_clock.start();
    m_nextAt = Delay();
    m_timer.start(kPollMs);
}

void MonkeyHand::Finish() {
    m_timer.stop();
    QEventLoop settle;
    QTimer::singleShot(kSettleMs, &settle, &QEventLoop::quit);
    settle.exec();
    if (!m_windows.empty()) m_windows.back().commandsAfter = m_simulator.CommandCount();
    qApp->removeEventFilter(this);
    m_messages.SetQuestionHandler(nullptr);
}

bool MonkeyHand::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
    auto* guide = qobject_cast<FTestGuide*>(watched);
    if (guide == nullptr) return false;
    if (event->type() == QEvent::Show) {
        if (!m_windows.empty()) m_windows.back().commandsAfter = m_simulator.CommandCount();
        Window window;
        window.position = m_locate ? m_locate(guide) : -1;
        m_windows.push_back(window);
        Note(QStringLiteral("window of test %1 shows").arg(window.position + 1));
    } else if (!m_windows.empty() && !m_windows.back().hidden) {
        Window& window = m_windows.back();
        window.hidden = true;
        window.ending = m_underWay.empty() ? Ending::None : m_underWay.back();
        window.wentDespiteNo = window.ending == Ending::Previous && m_declinedPrevious;
        window.hiddenAt = QDateTime::currentDateTimeUtc();
        // The simulator reads on a thread of its own: what was written before the window went
        // (a command sent without waiting for its reply) is counted once it has been read.
        std::this_thread::sleep_for(std::chrono::milliseconds(kReadCatchUpMs));
        window.openAtHide = m_simulator.ClientOpenCount();
        window.commandsAtHide = m_simulator.CommandCount();
        Note(QStringLiteral("window of test %1 goes").arg(window.position + 1));
    }
    return false;
}

void MonkeyHand::Tick() {
    if (m_pending) return;
    FTestGuide* guide = ShownGuide();
    if (guide == nullptr) return;
    if (!m_windows.empty() && !m_windows.back().hidden) {
        m_windows.back().skipOffered |= Enabled(*guide, XTgToolbar::kSkip);
        m_windows.back().notApplicableOffered |= Enabled(*guide, XTgToolbar::kNotApplicable);
    }
    if (m_clock.elapsed() < m_nextAt) return;
    if (!m_windingDown && m_actions >= m_budget) {
        m_windingDown = true;
        m_windDown.start();
        Note(QStringLiteral("winding down"));
    }
    if (m_windingDown) {
        WindDown(*guide);
    } else {
        Act(*guide);
    }
}

void MonkeyHand::Act(FTestGuide& guide) {
    struct Choice {
        int weight;
        std::function<Action()> make;
    };
    const QPointer<FTestGuide> window(&guide);
    std::vector<Choice> choices;
    const auto button = [&](int32_t number, const char* name, Ending ending, int weight) {
        if (Enabled(guide, number))
            choices.push_back(
                {weight, [&, number, name, ending] { return Press(guide, number, name, ending); }});
    };
    button(XTgToolbar::kAbort, "Abort", Ending::Abort, 1);
    button(XTgToolbar::kPrevious, "Previous", Ending::Previous, 1);
    button(XTgToolbar::kNext, "Next", Ending::Next, 2);
    button(XTgToolbar::kStop, "Stop", Ending::None, 2);
    if (Enabled(guide, XTgToolbar::kStart)) {
        choices.push_back({5, [&] {
                               Action start =
                                   Press(guide, XTgToolbar::kStart, QStringLiteral("Start"), Ending::None);
                               start.starts = true;
                               return start;
                           }});
    }
    button(XTgToolbar::kSkip, "Skip", Ending::Skip, 1);
    button(XTgToolbar::kNotApplicable, "N/A", Ending::NotApplicable, 1);
    choices.push_back({1, [window] {
                           return Action{QStringLiteral("F5"), Ending::Next, [window] {
                                             if (window == nullptr) return;
                                             window->activateWindow();
                                             QTest::keyClick(window, Qt::Key_F5);
                                         }};
                       }});
    choices.push_back({1, [window] {
                           return Action{QStringLiteral("Escape"), Ending::Abort, [window] {
                                             if (window == nullptr) return;
                                             QWidget* focus = QApplication::focusWidget();
                                             QTest::keyClick(focus != nullptr && window->isAncestorOf(focus)
                                                                 ? focus
                                                                 : window.data(),
                                                             Qt::Key_Escape);
                                         }};
                       }});
    choices.push_back({1, [window] {
                           return Action{QStringLiteral("close box"), Ending::Abort, [window] {
                                             if (window != nullptr) window->close();
                                         }};
                       }});
    const auto* list = guide.findChild<QTreeWidget*>(Names::kResultList);
    if (list != nullptr && list->isVisible() && list->topLevelItemCount() > 0)
        choices.push_back({3, [&] { return Type(guide); }});

    std::vector<int> weights;
    for (const Choice& choice : choices) weights.push_back(choice.weight);
    std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
    Dispatch(choices[pick(m_random)].make());
    ++m_actions;
    m_nextAt = m_clock.elapsed() + Delay();
}

void MonkeyHand::WindDown(FTestGuide& guide) {
    m_nextAt = m_clock.elapsed() + kWindDownPollMs;
    if (Enabled(guide, XTgToolbar::kStop)) {
        Dispatch(Press(guide, XTgToolbar::kStop, QStringLiteral("Stop"), Ending::None));
    } else if (Enabled(guide, XTgToolbar::kAbort)) {
        Dispatch(Press(guide, XTgToolbar::kAbort, QStringLiteral("Abort"), Ending::Abort));
    } else if (m_windDown.elapsed() > kPatienceMs) {
        Dispatch(Action{QStringLiteral("close box"), Ending::Abort, [window = QPointer<FTestGuide>(&guide)] {
                            if (window != nullptr) window->close();
                        }});
    }
}

bool MonkeyHand::Enabled(FTestGuide& guide, int32_t number) const {
    const QAbstractButton* button = ButtonOf(guide, number);
    return button != nullptr && button->isVisible() && button->isEnabled();
}

MonkeyHand::Action MonkeyHand::Press(FTestGuide& guide, int32_t number, const QString& name, Ending ending) {
    return {name, ending, [window = QPointer<FTestGuide>(&guide), number] {
                if (window == nullptr) return;
                // A real click: one on a button that went off meanwhile does nothing.
                if (QAbstractButton* button = ButtonOf(*window, number))
                    QTest::mouseClick(button, Qt::LeftButton);
            }};
}

MonkeyHand::Action MonkeyHand::Type(FTestGuide& guide) {
    auto* list = guide.findChild<QTreeWidget*>(Names::kResultList);
    const int row = std::uniform_int_distribution<int>(0, list->topLevelItemCount() - 1)(m_random);
    const QString key = list->topLevelItem(row)->data(0, Names::kRowKeyRole).toString();
    const QString text = m_typist(key);
    return {QStringLiteral("type \"%1\" at %2").arg(text, key), Ending::None,
            [this, list = QPointer<QTreeWidget>(list), row, key, text] {
                if (list == nullptr || row >= list->topLevelItemCount()) return;
                // As a person would: the row's value opens the box there, then the reading and Enter.
                ClickCell(*list, *list->topLevelItem(row), kValueColumn);
                const QPointer<QLineEdit> edit = list->findChild<QLineEdit*>(Names::kEditBox);
                if (edit == nullptr || !edit->isVisible()) return;
                edit->setFocus();
                edit->selectAll();
                // Key by key with the text each key gives: QTest's own typing knows only ASCII keys.
                for (const QChar c : text) {
                    if (edit == nullptr) return;
                    QKeyEvent press(QEvent::KeyPress,
                                    c.unicode() < 128 ? int{c.toUpper().unicode()} : int{Qt::Key_unknown},
                                    Qt::NoModifier, QString(c));
                    QApplication::sendEvent(edit, &press);
                }
                if (edit == nullptr) return;
                if (!m_windows.empty() && !m_windows.back().hidden) {
                    Window& window = m_windows.back();
                    window.typed.push_back({key, text});
                    ++window.typings;
                    if (edit->text() != text)
                        window.altered
                            << QStringLiteral("\"%1\" at %2 became \"%3\"").arg(text, key, edit->text());
                }
                QTest::keyClick(edit, Qt::Key_Return);
            }};
}

void MonkeyHand::Dispatch(Action action) {
    m_pending = true;
    Note(action.name);
    QTimer::singleShot(0, this, [this, action = std::move(action)] {
        m_pending = false;
        m_declinedPrevious = false;
        m_underWay.push_back(action.ending);
        if (action.starts && !m_windows.empty() && !m_windows.back().hidden) {
            m_windows.back().typed.clear();
            ++m_windows.back().starts;
        }
        action.act();
        m_underWay.pop_back();
    });
}

MessageService::Answer MonkeyHand::Answer(const orvex::HostMessageService::Message& message) {
    MessageService::Answer answer = MessageService::Answer::Ok;
    if (message.buttons == MessageService::Buttons::YesNo ||
        message.buttons == MessageService::Buttons::YesNoCancel) {
        const bool cancel = message.buttons == MessageService::Buttons::YesNoCancel;
        const int choice =
            m_windingDown ? 0 : std::uniform_int_distribution<int>(0, cancel ? 2 : 1)(m_random);
        answer = choice == 0 ? MessageService::Answer::Yes
                             : (choice == 1 ? MessageService::Answer::No : MessageService::Answer::Cancel);
    } else if (message.buttons == MessageService::Buttons::OkCancel && !m_windingDown &&
               std::bernoulli_distribution(0.5)(m_random)) {
        answer = MessageService::Answer::Cancel;
    }
    const bool shows = !m_windows.empty() && !m_windows.back().hidden;
    if (answer == MessageService::Answer::Yes) ++(shows ? m_windows.back().yes : m_yes);
    if (answer == MessageService::Answer::No) ++(shows ? m_windows.back().no : m_no);
    if (answer == MessageService::Answer::No && !m_underWay.empty() &&
        m_underWay.back() == Ending::Previous) {
        m_declinedPrevious = true;
        if (shows) ++m_windows.back().declinedPrevious;
    }
    static const std::array<const char*, 4> kNames{"ok", "cancel", "yes", "no"};
    Note(QStringLiteral("asked \"%1\": %2").arg(message.text.left(60), kNames[static_cast<size_t>(answer)]));
    return answer;
}

int MonkeyHand::Delay() {
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
    // Mostly quick, now and then a long look.
    return static_cast<int>(kLongestPauseMs * m_timeScale / kUsualScale * u * u);
}

void MonkeyHand::Note(const QString& line) {
    // What the line had seen by then, to tell a click that started something from one that did not.
    m_log.Note(QStringLiteral("%1 [line open %2, %3 commands]")
                   .arg(line)
                   .arg(m_simulator.ClientOpenCount())
                   .arg(m_simulator.CommandCount())
                   .toStdString());
}
