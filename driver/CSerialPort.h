#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "GDeclares.h"

class QSocketNotifier;

namespace korotka {

// The serial port component of the channel, on termios. A QSocketNotifier moves arriving bytes
// into the input buffer while the owner waits in the event loop, and notices a hang-up (a pulled
// adapter, a closed pseudo-terminal): the port then closes itself so nothing spins on a dead line.
class CSerialPort : public QObject {
    Q_OBJECT
public:
    // Numbers of this component's own errors.
    static constexpr int32_t kErrInvalidValue = kPortErrInvalidValue;
    static constexpr int32_t kErrPortAlreadyOpen = kPortErrPortAlreadyOpen;
    static constexpr int32_t kErrPortNotOpen = kPortErrPortNotOpen;
    static constexpr int32_t kErrWriteFailed = kPortErrWriteFailed;

    // Arrived bytes kept at most; what a line sends beyond that before it is read is dropped.
    static constexpr qsizetype kMaxBuffered = qsizetype{64} * 1024;
    // Attempts at a line that fails for a passing reason, and the pause between them.
    static constexpr int kOpenAttempts = 5;
    static constexpr int kOpenRetryMs = 50;

    explicit CSerialPort(QObject* parent = nullptr);
    ~CSerialPort() override;

    void SetCommPort(int16_t port);
    int16_t CommPort() const { return m_port; }
    // "baud,parity,data bits,stop bits", e.g. "9600,N,8,1"; raises 380 when it is not one.
    void SetSettings(const QString& settings);
    // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 both.
    void SetHandshaking(int mode);
    void SetDTREnable(bool enable);

    // Opening never raises: the outcome is in StatusText().
    void SetPortOpen(bool open);
    bool PortOpen() const { return m_fd >= 0; }
    // "Connected", "Port unavailable" (held elsewhere or no permission), "Port not found",
    // "Port not opened" (any other failure), "Port closed".
    QString StatusText() const { return m_status; }
    // True once the line hung up; the port has then closed itself.
    bool HungUp() const { return m_hungUp; }

    int InBufferCount() const { return static_cast<int>(m_input.size()); }
    // Drops everything received and not yet read, also what still waits in the driver.
    void ClearInput();
    // All waiting characters, 8-bit text; the buffer is empty afterwards.
    QString Input();
    // Writes the text as 8-bit characters; raises 8018 when closed, 8021 when the line fails.
    void Output(const QString& text);

private:
    void OpenDevice();
    // One attempt: 0 when the line is open and set up, otherwise the errno of the step that
    // failed, with the status saying what it means.
    int TryOpen(const QString& path);
    void CloseDevice();
    bool ApplyLineSettings();
    void ApplyDtr();
    void ReadAvailable();

    int16_t m_port = 0;
    int m_baud = 9600;
    char m_parity = 'N';
    int m_dataBits = 8;
    int m_stopBits = 1;
    int m_handshaking = 0;
    bool m_dtr = false;

    int m_fd = -1;
    bool m_hungUp = false;
    QString m_status = QStringLiteral("Port closed");
    QByteArray m_input;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

}  // namespace korotka
