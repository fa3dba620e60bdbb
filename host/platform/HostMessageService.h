#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <utility>

#include "host/platform/HostExport.h"
#include "hostapi/MessageService.h"

namespace orvex {

// Shows message boxes as dialogs in the application, as lines on the console of a command-line
// tool, or only records them (tests). Every message is recorded in all modes.
class ORVEX_HOST_EXPORT HostMessageService : public MessageService {
public:
    enum class Mode { Dialog, Console, Record };

    struct Message {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };

    explicit HostMessageService(Mode mode);

    Answer Show(const QString& text, Icon icon, Buttons buttons, const QString& title) override;

    const QList<Message>& Shown() const { return m_shown; }
    // How many failures were reported so far: a run compares the count at its end with its start.
    qsizetype FailuresTold() const { return m_failuresTold; }
    void Clear() { m_shown.clear(); }
    // What a console or recording service answers to a question; the first button by default.
    void SetAnswer(Answer answer) {
        m_answer = answer;
        m_answerSet = true;
    }

    // Who answers the questions in the person's place (a scripted technician); messages that only
    // inform are still shown as the mode says. An empty handler gives the questions back.
    using QuestionHandler = std::function<Answer(const Message&)>;
    void SetQuestionHandler(QuestionHandler handler) { m_questionHandler = std::move(handler); }

    // The program that owns the terminal says where a console line goes (stderr); a library never
    // writes to it. Without one the lines go to the host's log, shown with --verbose.
    using ConsoleOutput = std::function<void(const QString& line)>;
    void SetConsoleOutput(ConsoleOutput output) { m_consoleOutput = std::move(output); }
    // A line for whoever watches the console, in any mode (a question answered in the person's place).
    void ToConsole(const QString& line) const;

private:
    Answer DefaultAnswer(Buttons buttons) const;

    Mode m_mode;
    QList<Message> m_shown;
    qsizetype m_failuresTold = 0;
    Answer m_answer = Answer::Ok;
    bool m_answerSet = false;
    QuestionHandler m_questionHandler;
    ConsoleOutput m_consoleOutput;
};

}  // namespace orvex
