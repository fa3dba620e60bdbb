#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "DriverExport.h"

namespace korotka {

class CSerialPort;
class FTimers;

// The driver's serial link to the instrument: opens the port, writes commands and collects
// replies with a 1000 ms inactivity window. It knows nothing of what the commands mean.
class KOROTKA_DRIVER_EXPORT CChannel {
public:
    // Longest reply collected; a line that keeps sending past it is not a Korotka talking.
    static constexpr qsizetype kMaxReply = 4096;

    CChannel();
    ~CChannel();
    CChannel(const CChannel&) = delete;
    CChannel& operator=(const CChannel&) = delete;

    // Opens the port; on any failure everything is released and eeVTI_Error is raised (a port
    // that is busy, missing or not opened has been shown to the technician already).
    void Open(int16_t port, const QString& settings);
    // Discards unread input, then writes the command as it is.
    void Send(const QString& command);
    // One reply: complete on a final CR LF (removed) or a leading NAK; empty after a silent window;
    // what arrived when the window ends without CR LF. Raises eeVTI_MTIInvalidResponse when the
    // line sends more than kMaxReply characters, eeVTI_MTIConnectionLost when it hangs up or the
    // channel is closed before a reply is complete.
    QString Receive();
    // Raises (after showing the message) unless the status is "Connected".
    void CheckCommStatus(const QString& sStatus);
    // Never fails; may be called any number of times.
    void Close();
    int16_t PortNumber() const { return m_portNumber; }

private:
    void mfrmTimer_TimeOut();
    void ReleaseAll();

    int16_t m_portNumber = 0;
    std::shared_ptr<CSerialPort> m_port;
    std::shared_ptr<FTimers> mfrmTimer;
    bool m_timedOut = false;
};

}  // namespace korotka
