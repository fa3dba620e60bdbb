#include "HostMessageService.h"

#include <QApplication>
#include <QMessageBox>

#include "host/platform/HostLog.h"

namespace orvex {

namespace {

QMessageBox::Icon ToQtIcon(MessageService::Icon icon) {
    switch (icon) {
        case MessageService::Icon::Information:
            return QMessageBox::Information;
        case MessageService::Icon::Exclamation:
            return QMessageBox::Warning;
        case MessageService::Icon::Critical:
            return QMessageBox::Critical;
        case MessageService::Icon::Question:
            return QMessageBox::Question;
        case MessageService::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageService::Buttons buttons) {
    switch (buttons) {
        case MessageService::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageService::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageService::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageService::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

MessageService::Answer FromQtButton(int button) {
    switch (button) {
        case QMessageBox::Cancel:
            return MessageService::Answer::Cancel;
        case QMessageBox::Yes:
            return MessageService::Answer::Yes;
        case QMessageBox::No:
            return MessageService::Answer::No;
        default:
            return MessageService::Answer::Ok;
    }
}

}  // namespace

HostMessageService::HostMessageService(Mode mode) : m_mode(mode) {}

void HostMessageService::ToConsole(const QString& line) const {
    if (m_consoleOutput) {
        m_consoleOutput(line);
    } else {
        qCDebug(lcHost).noquote() << "console:" << line;
    }
}

MessageService::Answer HostMessageService::DefaultAnswer(Buttons buttons) const {
    if (m_answerSet) return m_answer;
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

MessageService::Answer HostMessageService::Show(const QString& text, Icon icon, Buttons buttons,
                                                const QString& title) {
    m_shown.append({text, icon, buttons, title});
    // A box that warns and asks nothing is how the driver and the tests report a failure they do not
    // raise.
    if (buttons == Buttons::Ok && (icon == Icon::Exclamation || icon == Icon::Critical)) ++m_failuresTold;
    if (buttons != Buttons::Ok && m_questionHandler) return m_questionHandler(m_shown.last());
    switch (m_mode) {
        case Mode::Dialog:
            // Without a widget application (a command-line tool) a dialog cannot be shown.
            if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
                QMessageBox box(ToQtIcon(icon), title, text, ToQtButtons(buttons));
                // A yes to these questions discards, removes or ends something: Enter must not
                // give it by accident.
                if (buttons == Buttons::YesNo) box.setDefaultButton(QMessageBox::No);
                return FromQtButton(box.exec());
            }
            [[fallthrough]];
        case Mode::Console:
            ToConsole(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
            break;
        case Mode::Record:
            break;
    }
    return DefaultAnswer(buttons);
}

}  // namespace orvex
