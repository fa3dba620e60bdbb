#include "CChannel.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "CSerialPort.h"
#include "DriverLog.h"
#include "FTimers.h"
#include "GDeclares.h"
#include "MErrorHandling.h"
#include "hostapi/ComError.h"

namespace korotka {

namespace {

const QString kSource = QStringLiteral("KorotkaVTI.CChannel");
const QString kClassName = QStringLiteral("CChannel");
constexpr char kNak = 21;

const QString kReplyTooLong =
    QStringLiteral("22008::The instrument sent a reply longer than %%1 characters; it was not read.");

}  // namespace

CChannel::CChannel() = default;

CChannel::~CChannel() { Close(); }

void CChannel::Open(int16_t port, const QString& settings) {
    try {
        mfrmTimer = std::make_shared<FTimers>();
        QObject::connect(mfrmTimer.get(), &FTimers::TimeOut, mfrmTimer.get(),
                         [this] { mfrmTimer_TimeOut(); });
        m_port = std::make_shared<CSerialPort>();
        m_port->SetHandshaking(0);
        m_port->SetCommPort(port);
        m_port->SetSettings(settings);
        m_port->SetDTREnable(true);
        m_port->SetPortOpen(true);
        CheckCommStatus(m_port->StatusText());
        m_port->SetDTREnable(true);
        m_portNumber = port;
    } catch (...) {
        ReleaseAll();
        MErrorHandling::RaiseVtiError(eeVTI_Error, kSource, QString());
    }
}

void CChannel::CheckCommStatus(const QString& sStatus) {
    if (sStatus == QLatin1String("Connected")) return;
    try {
        const orvex::Variant port(static_cast<int16_t>(m_port ? m_port->CommPort() : 0));
        if (sStatus == QLatin1String("Port unavailable")) {
            MErrorHandling::RaiseVtiError(eeVTI_PortUnavailable, kSource, QString(), port);
        } else if (sStatus == QLatin1String("Port not found")) {
            MErrorHandling::RaiseVtiError(eeVTI_CmdNoSuchPort, kSource, QString(), port);
        }
        MErrorHandling::RaiseVtiError(eeVTI_PortNotOpen, kSource, QString(), port);
    } catch (const orvex::ComError& e) {
        MErrorHandling::ReportError(e.Number(), e.Source(), e.Description(), kClassName);
    }
}

namespace {

[[noreturn]] void RaiseConnectionLost(int16_t portNumber) {
    MErrorHandling::RaiseVtiError(eeVTI_MTIConnectionLost, kSource, QString(), orvex::Variant(portNumber));
}

[[noreturn]] void RaisePortNotOpen() {
    throw orvex::ComError(CSerialPort::kErrPortNotOpen, kSource,
                          QStringLiteral("Operation valid only when the port is open"));
}

}  // namespace

void CChannel::Send(const QString& command) {
    const auto port = m_port;
    if (!port) RaisePortNotOpen();
    // A line that hung up is lost, whether that shows on reading or on writing.
    if (port->HungUp()) RaiseConnectionLost(m_portNumber);
    port->ClearInput();
    // What went on the line, for a technician's --verbose and for tests of what a run sends.
    qCDebug(lcDriver).noquote() << "sent" << command;
    try {
        port->Output(command);
    } catch (const orvex::ComError&) {
        if (port->HungUp()) RaiseConnectionLost(m_portNumber);
        throw;
    }
}

QString CChannel::Receive() {
    // Local holders: a handler that runs while we wait may close the channel under us.
    const auto port = m_port;
    const auto timer = mfrmTimer;
    if (!port || !timer) RaisePortNotOpen();
    const int16_t portNumber = m_portNumber;

    m_timedOut = false;
    QString collected;
    bool complete = false;
    bool overflow = false;
    bool lost = false;
    timer->StartTimeout();
    do {
        if (port->InBufferCount() > 0) {
            timer->StartTimeout();
            collected += port->Input();
            complete = collected.endsWith(QLatin1String("\r\n")) ||
                       (!collected.isEmpty() && collected.at(0) == QLatin1Char(kNak));
            overflow = collected.size() > kMaxReply;
        } else if (port->HungUp() || m_port != port) {
            lost = true;
            break;
        } else {
            // Sleeps until a byte, the window's timer or user input arrives.
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    } while (!complete && !overflow && !m_timedOut);
    timer->StopTimeout();
    m_timedOut = false;

    if (overflow) {
        MErrorHandling::RaiseVtiError(eeVTI_MTIInvalidResponse, kSource, kReplyTooLong,
                                      orvex::Variant(static_cast<int32_t>(kMaxReply)));
    }
    // Half a reply from a dead line could read as a valid value ("25" of "250"): it is dropped.
    if (lost) {
        MErrorHandling::RaiseVtiError(eeVTI_MTIConnectionLost, kSource, QString(),
                                      orvex::Variant(portNumber));
    }
    if (collected.endsWith(QLatin1String("\r\n"))) collected.chop(2);
    return collected;
}

void CChannel::Close() { ReleaseAll(); }

void CChannel::ReleaseAll() {
    if (m_port) m_port->SetPortOpen(false);
    m_port.reset();
    if (mfrmTimer) mfrmTimer->StopTimeout();
    mfrmTimer.reset();
    m_portNumber = 0;
}

void CChannel::mfrmTimer_TimeOut() { m_timedOut = true; }

}  // namespace korotka
