#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/platform/HostMessageService.h"
#include "host/visit/HostScript.h"

class QWidget;

namespace orvex {

class HostXTgButton;

// Plays a script against the real test guide windows and the questions of the message service:
// it clicks the tool bar's buttons and types into the result's edit box as a person would. It
// polls while the windows and the instrument steps run the event loop, so it never blocks them.
// An action that cannot be done within the time-out fails the script; the running test is then
// stopped and the sequence aborted.
class ORVEX_HOST_EXPORT HostScriptedTechnician : public QObject {
    Q_OBJECT

public:
    static constexpr int kPollMilliseconds = 20;
    // How long a stopped test may take to close its window after a failure before it is hidden.
    static constexpr int kWindDownMilliseconds = 10000;

    HostScriptedTechnician(HostScript script, std::shared_ptr<HostMessageService> messages,
                           int timeoutSeconds);
    ~HostScriptedTechnician();
    HostScriptedTechnician(const HostScriptedTechnician&) = delete;
    HostScriptedTechnician& operator=(const HostScriptedTechnician&) = delete;

    void Start();
    // The run is over: an action left undone fails the script.
    void Finish();
    bool Failed() const { return !m_failure.isEmpty(); }
    // "script line N: <why>"
    const QString& Failure() const { return m_failure; }

private slots:
    void OnReadingShown();

private:
    using Action = HostScript::Action;

    void Tick();
    // True when the action was done; otherwise why it cannot be done yet.
    bool TryAction(const Action& action, QWidget* guide, QString* why);
    // The button when it is shown and enabled; otherwise none, and why not.
    std::shared_ptr<HostXTgButton> ReadyButton(QWidget* guide, int number, QString* why);
    bool Click(QWidget* guide, int number, QString* why);
    bool Type(QWidget* guide, const Action& action, QString* why);
    void Defer(std::function<void()> act);
    // Listens to the guide's signal of the values shown: every reading counts, also one that repeats
    // the last (a pressure held still).
    void CountReadings(QWidget* guide);
    void WindDown(QWidget* guide);
    void Advance();
    void Fail(int line, const QString& why);
    MessageService::Answer Answer(const HostMessageService::Message& message);

    HostScript m_script;
    std::shared_ptr<HostMessageService> m_messages;
    int m_timeoutMs;
    qsizetype m_next = 0;
    QTimer m_timer;
    QElapsedTimer m_waiting;
    QElapsedTimer m_windingDown;
    QElapsedTimer m_lastRowClick;
    QPointer<QWidget> m_counted;
    int m_readings = 0;
    std::optional<Action> m_armed;
    bool m_confirmAbort = false;
    bool m_pending = false;
    QString m_failure;
};

}  // namespace orvex
