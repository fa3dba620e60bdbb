#include "HostScriptedTechnician.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPointer>
#include <QTreeWidget>
#include <utility>

#include "host/controls/HostXTgButton.h"
#include "host/controls/HostXTgToolbar.h"
#include "host/platform/HostLog.h"
#include "hostapi/ComError.h"
#include "hostapi/GuideWindowNames.h"

namespace orvex {

namespace {

using Kind = HostScript::Action::Kind;

// The value is the second column of the result views; a click there opens the edit box.
constexpr int kValueColumn = 1;
// A row is clicked again only after this long, so that the view can answer the last click first.
constexpr int kRowClickMilliseconds = 500;

QString ButtonName(int number) {
    switch (number) {
        case XTgToolbar::kAbort:
            return QStringLiteral("Abort");
        case XTgToolbar::kPrevious:
            return QStringLiteral("Previous");
        case XTgToolbar::kNext:
            return QStringLiteral("Next");
        case XTgToolbar::kStop:
            return QStringLiteral("Stop");
        case XTgToolbar::kStart:
            return QStringLiteral("Start");
        case XTgToolbar::kSkip:
            return QStringLiteral("Skip");
        default:
            return QStringLiteral("N/A");
    }
}

// The test guide window on top, if one is shown.
QWidget* OpenGuide() {
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == GuideWindowNames::kWindow && window->isVisible()) found = window;
    }
    return found;
}

void SendKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

void ClickCell(QTreeWidget* list, QTreeWidgetItem* row, int column) {
    const QRect rect = list->visualItemRect(row);
    const QHeaderView* header = list->header();
    const QPointF point(header->sectionViewportPosition(column) + header->sectionSize(column) / 2.0,
                        rect.center().y());
    const QPointF global = list->viewport()->mapToGlobal(point);
    QMouseEvent press(QEvent::MouseButtonPress, point, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, point, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &release);
}

QTreeWidgetItem* RowOf(QTreeWidget* list, const QString& key) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->data(0, GuideWindowNames::kRowKeyRole).toString() == key)
            return list->topLevelItem(i);
    }
    return nullptr;
}

}  // namespace

HostScriptedTechnician::HostScriptedTechnician(HostScript script,
                                               std::shared_ptr<HostMessageService> messages,
                                               int timeoutSeconds)
    : m_script(std::move(script)), m_messages(std::move(messages)), m_timeoutMs(timeoutSeconds * 1000) {
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { Tick(); });
}

HostScriptedTechnician::~HostScriptedTechnician() { m_messages->SetQuestionHandler(nullptr); }

void HostScriptedTechnician::Start() {
    m_messages->SetQuestionHandler(
        [this](const HostMessageService::Message& message) { return Answer(message); });
    m_waiting.start();
    m_timer.start(kPollMilliseconds);
}

void HostScriptedTechnician::Finish() {
    m_timer.stop();
    if (m_next < m_script.Actions().size()) {
        Fail(m_script.Actions()[m_next].line, QStringLiteral("the sequence ended before this action"));
    }
    if (m_armed) Fail(m_armed->line, QStringLiteral("no question was asked for this answer"));
}

void HostScriptedTechnician::Tick() {
    QWidget* guide = OpenGuide();
    if (guide != nullptr) CountReadings(guide);
    if (m_pending) return;
    if (Failed()) {
        WindDown(guide);
        return;
    }
    if (m_next >= m_script.Actions().size()) {
        if (guide != nullptr && m_waiting.elapsed() > m_timeoutMs) {
            Fail(m_script.EndLine(), QStringLiteral("the script ended while a test guide window waits"));
        }
        return;
    }
    const Action& action = m_script.Actions()[m_next];
    if (action.kind == Kind::AnswerYes || action.kind == Kind::AnswerNo) {
        // An answer is given ahead: it waits for the next question, not the question for it.
        m_armed = action;
        Advance();
        return;
    }
    QString why;
    if (guide == nullptr) {
        why = QStringLiteral("no test guide window is open");
    } else if (TryAction(action, guide, &why)) {
        return;
    }
    if (m_waiting.elapsed() > m_timeoutMs) {
        Fail(action.line, QStringLiteral("%1 after %2 s").arg(why).arg(m_timeoutMs / 1000));
    }
}

bool HostScriptedTechnician::TryAction(const Action& action, QWidget* guide, QString* why) {
    switch (action.kind) {
        case Kind::Start:
            return Click(guide, XTgToolbar::kStart, why);
        case Kind::Stop:
            return Click(guide, XTgToolbar::kStop, why);
        case Kind::Readings:
            if (m_readings < action.readings) {
                *why = QStringLiteral("%1 of %2 gauge readings shown").arg(m_readings).arg(action.readings);
                return false;
            }
            return Click(guide, XTgToolbar::kStop, why);
        case Kind::Type:
            return Type(guide, action, why);
        case Kind::Next:
            return Click(guide, XTgToolbar::kNext, why);
        case Kind::Previous:
            return Click(guide, XTgToolbar::kPrevious, why);
        case Kind::Skip:
            return Click(guide, XTgToolbar::kSkip, why);
        case Kind::NotApplicable:
            return Click(guide, XTgToolbar::kNotApplicable, why);
        case Kind::Abort:
            return Click(guide, XTgToolbar::kAbort, why);
        case Kind::Rest:
            // A test at rest may be started again: it ended, or ended on an error.
            if (!ReadyButton(guide, XTgToolbar::kStart, why)) return false;
            Advance();
            return true;
        case Kind::Close:
            Advance();
            Defer([this, window = QPointer<QWidget>(guide)] {
                if (window == nullptr) return;
                m_confirmAbort = true;
                window->close();
                m_confirmAbort = false;
            });
            return true;
        case Kind::AnswerYes:
        case Kind::AnswerNo:
            break;
    }
    return false;
}

std::shared_ptr<HostXTgButton> HostScriptedTechnician::ReadyButton(QWidget* guide, int number, QString* why) {
    const auto* toolbar = guide->findChild<HostXTgToolbar*>(GuideWindowNames::kToolbar);
    std::shared_ptr<HostXTgButton> button;
    if (toolbar != nullptr) {
        try {
            button = std::dynamic_pointer_cast<HostXTgButton>(toolbar->Buttons(number));
        } catch (const ComError& e) {
            qCDebug(lcHost) << "the tool bar has no button" << number << ":" << e.Description();
        }
    }
    if (!button) {
        *why = QStringLiteral("the test guide has no %1 button").arg(ButtonName(number));
        return nullptr;
    }
    if (!button->isVisible() || !button->isEnabled()) {
        *why = QStringLiteral("the %1 button is not enabled").arg(ButtonName(number));
        return nullptr;
    }
    return button;
}

bool HostScriptedTechnician::Click(QWidget* guide, int number, QString* why) {
    const auto button = ReadyButton(guide, number, why);
    if (!button) return false;
    Advance();
    Defer([this, target = QPointer<HostXTgButton>(button.get()), number] {
        // Abort asks for a confirmation that the script need not spell out.
        m_confirmAbort = number == XTgToolbar::kAbort;
        if (target != nullptr) target->click();
        m_confirmAbort = false;
    });
    return true;
}

bool HostScriptedTechnician::Type(QWidget* guide, const Action& action, QString* why) {
    auto* list = guide->findChild<QTreeWidget*>(GuideWindowNames::kResultList);
    QPointer<QLineEdit> edit =
        list != nullptr ? list->findChild<QLineEdit*>(GuideWindowNames::kEditBox) : nullptr;
    if (list == nullptr || edit == nullptr) {
        *why = QStringLiteral("the test guide shows no result to type into");
        return false;
    }
    QTreeWidgetItem* row = RowOf(list, action.key);
    if (row == nullptr) {
        *why = QStringLiteral("the result has no row %1").arg(action.key);
        return false;
    }
    if (!edit->isVisible() || list->currentItem() != row) {
        *why = QStringLiteral("the edit box is not open on row %1").arg(action.key);
        // As a person would, click the row's value to open the box there.
        if (!m_lastRowClick.isValid() || m_lastRowClick.elapsed() > kRowClickMilliseconds) {
            m_lastRowClick.start();
            ClickCell(list, row, kValueColumn);
        }
        return false;
    }
    Advance();
    Defer([this, edit, note = QPointer<QLabel>(list->findChild<QLabel*>(GuideWindowNames::kRefusalNote)),
           value = action.value, line = action.line] {
        if (edit == nullptr) return;
        edit->setFocus();
        // What the box does when it gets the focus: what is typed replaces the old reading.
        edit->selectAll();
        for (const QChar character : value) {
            if (edit == nullptr) return;
            const int key = character.unicode() < 0x7f ? character.toUpper().unicode() : int{Qt::Key_unknown};
            SendKey(edit, key, QString(character));
        }
        if (edit != nullptr) SendKey(edit, Qt::Key_Return, QStringLiteral("\r"));
        // The box refuses aloud what it does not take; a technician would not go on past that.
        if (note != nullptr && note->isVisible()) {
            Fail(line, QStringLiteral("the box refused \"%1\": %2").arg(value, note->text()));
        }
    });
    return true;
}

// Qt does not fire a timer again while its own handler runs, and a handler of the guide may run
// the event loop for a whole instrument step: the action runs from the loop, so that the polls go
// on meanwhile. Nothing else is tried until it has begun.
void HostScriptedTechnician::Defer(std::function<void()> act) {
    m_pending = true;
    QTimer::singleShot(0, &m_timer, [this, act = std::move(act)] {
        m_pending = false;
        act();
    });
}

void HostScriptedTechnician::CountReadings(QWidget* guide) {
    if (guide == m_counted) return;
    m_counted = guide;
    // By name: the host knows the guide only as a widget of the plug-in.
    const QMetaObject* shown = guide->metaObject();
    const int signal = shown->indexOfSignal(GuideWindowNames::kValuesShownSignal);
    const QMetaMethod count = staticMetaObject.method(staticMetaObject.indexOfSlot("OnReadingShown()"));
    if (signal < 0 || !QObject::connect(guide, shown->method(signal), this, count)) {
        qCWarning(lcHost) << "the test guide window shows no readings to count";
    }
}

void HostScriptedTechnician::OnReadingShown() {
    ++m_readings;
    qCDebug(lcHost) << "gauge reading" << m_readings;
}

void HostScriptedTechnician::WindDown(QWidget* guide) {
    if (guide == nullptr) return;
    if (!m_windingDown.isValid()) m_windingDown.start();
    QString why;
    if (!Click(guide, XTgToolbar::kStop, &why) && !Click(guide, XTgToolbar::kAbort, &why) &&
        m_windingDown.elapsed() > kWindDownMilliseconds) {
        qCDebug(lcHost) << "the test did not end after the script failed (" << why
                        << "); its window is hidden";
        guide->hide();
    }
    m_confirmAbort = false;
}

void HostScriptedTechnician::Advance() {
    if (Failed()) return;
    ++m_next;
    m_readings = 0;
    m_waiting.start();
}

void HostScriptedTechnician::Fail(int line, const QString& why) {
    if (!Failed()) m_failure = QStringLiteral("script line %1: %2").arg(line).arg(why);
}

MessageService::Answer HostScriptedTechnician::Answer(const HostMessageService::Message& message) {
    const auto refuse = message.buttons == MessageService::Buttons::YesNo ? MessageService::Answer::No
                                                                          : MessageService::Answer::Cancel;
    const auto print = [this, &message](const char* answer) {
        m_messages->ToConsole(QStringLiteral("%1 [%2]").arg(message.text, QLatin1String(answer)));
    };
    if (Failed()) {
        print(m_confirmAbort ? "yes" : "no");
        return m_confirmAbort ? MessageService::Answer::Yes : refuse;
    }
    const auto& actions = m_script.Actions();
    // The answer given ahead, else the one the script has next (an answer written after the click
    // that asks).
    std::optional<Action> answer = std::exchange(m_armed, std::nullopt);
    if (!answer && m_next < actions.size() &&
        (actions[m_next].kind == Kind::AnswerYes || actions[m_next].kind == Kind::AnswerNo)) {
        answer = actions[m_next];
        Advance();
    }
    if (answer) {
        const bool yes = answer->kind == Kind::AnswerYes;
        print(yes ? "yes" : "no");
        return yes ? MessageService::Answer::Yes : MessageService::Answer::No;
    }
    // Abort and the close box ask for a confirmation that the script need not spell out.
    if (m_confirmAbort) {
        print("yes");
        return MessageService::Answer::Yes;
    }
    Fail(m_next < actions.size() ? actions[m_next].line : m_script.EndLine(),
         QStringLiteral("the question \"%1\" was asked where the script has no answer").arg(message.text));
    print("no");
    return refuse;
}

}  // namespace orvex
