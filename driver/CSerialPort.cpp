#include "CSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <QStringList>
#include <cerrno>
#include <cstring>

#include "DriverLog.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"

namespace korotka {

namespace {

const QString kSource = QStringLiteral("KorotkaVTI.CSerialPort");
constexpr int kWriteTimeoutMs = 1000;

speed_t SpeedOf(int baud) {
    switch (baud) {
        case 110:
            return B110;
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

[[noreturn]] void Raise(int32_t number, const QString& description) {
    throw orvex::ComError(number, kSource, description);
}

}  // namespace

CSerialPort::CSerialPort(QObject* parent) : QObject(parent) {}

CSerialPort::~CSerialPort() { CloseDevice(); }

void CSerialPort::SetCommPort(int16_t port) { m_port = port; }

void CSerialPort::SetSettings(const QString& settings) {
    const QStringList parts = settings.split(QLatin1Char(','));
    bool ok = parts.size() == 4;
    int baud = 0, dataBits = 0, stopBits = 0;
    char parity = 0;
    if (ok) {
        bool okBaud = false, okData = false;
        baud = parts[0].trimmed().toInt(&okBaud);
        dataBits = parts[2].trimmed().toInt(&okData);
        const QString p = parts[1].trimmed().toUpper();
        const QString s = parts[3].trimmed();
        parity = p.size() == 1 ? p.at(0).toLatin1() : 0;
        stopBits = s == QLatin1String("1") ? 1 : (s == QLatin1String("2") ? 2 : 0);
        ok = okBaud && okData && SpeedOf(baud) != B0 && dataBits >= 5 && dataBits <= 8 && stopBits != 0 &&
             (parity == 'N' || parity == 'E' || parity == 'O');
    }
    if (!ok) Raise(kErrInvalidValue, QStringLiteral("Invalid property value: settings \"%1\"").arg(settings));
    m_baud = baud;
    m_parity = parity;
    m_dataBits = dataBits;
    m_stopBits = stopBits;
    if (PortOpen()) ApplyLineSettings();
}

void CSerialPort::SetHandshaking(int mode) {
    if (mode < 0 || mode > 3) Raise(kErrInvalidValue, QStringLiteral("Invalid property value: handshaking"));
    m_handshaking = mode;
    if (PortOpen()) ApplyLineSettings();
}

void CSerialPort::SetDTREnable(bool enable) {
    m_dtr = enable;
    if (PortOpen()) ApplyDtr();
}

void CSerialPort::SetPortOpen(bool open) {
    if (!open) {
        CloseDevice();
        return;
    }
    if (PortOpen()) Raise(kErrPortAlreadyOpen, QStringLiteral("Port already open"));
    OpenDevice();
}

void CSerialPort::OpenDevice() {
    m_hungUp = false;
    m_input.clear();
    QString path;
    try {
        path = orvex::HostServices::Ports()->DevicePath(m_port);
    } catch (const orvex::ComError& e) {
        qCDebug(lcDriver).noquote() << "looking up the device of port" << m_port << "failed:" << e.what();
        path.clear();
    }
    if (path.isEmpty()) {
        m_status = QStringLiteral("Port not found");
        return;
    }
    // A signal, or another open of the line that is just letting go, can fail an attempt for a
    // moment: a few more before the port counts as taken.
    for (int attempt = 1;; ++attempt) {
        const int error = TryOpen(path);
        if (error == 0) return;
        const bool passing = error == EINTR || error == EAGAIN || error == EWOULDBLOCK || error == EBUSY;
        if (!passing || attempt == kOpenAttempts) {
            qCDebug(lcDriver).noquote() << "opening" << path << "failed:" << std::strerror(error);
            return;
        }
        ::poll(nullptr, 0, kOpenRetryMs);
    }
}

int CSerialPort::TryOpen(const QString& path) {
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        m_status = (e == ENOENT || e == ENODEV || e == ENXIO || e == ENOTDIR)
                       ? QStringLiteral("Port not found")
                   : (e == EBUSY || e == EACCES || e == EPERM) ? QStringLiteral("Port unavailable")
                                                               : QStringLiteral("Port not opened");
        return e;
    }
    // An advisory lock tells other programs (and other opens in this one) that the line is taken;
    // TIOCEXCL keeps out programs that do not lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        m_status = QStringLiteral("Port unavailable");
        return e;
    }
    m_fd = fd;
    if (!isatty(fd) || !ApplyLineSettings()) {
        const int e = isatty(fd) ? errno : ENOTTY;
        CloseDevice();
        m_status = QStringLiteral("Port not opened");
        return e;
    }
    ::ioctl(fd, TIOCEXCL);
    ApplyDtr();
    tcflush(fd, TCIOFLUSH);
    m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &CSerialPort::ReadAvailable);
    m_status = QStringLiteral("Connected");
    return 0;
}

bool CSerialPort::ApplyLineSettings() {
    termios tio{};
    if (tcgetattr(m_fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= m_dataBits == 5 ? CS5 : m_dataBits == 6 ? CS6 : m_dataBits == 7 ? CS7 : CS8;
    if (m_parity != 'N') tio.c_cflag |= PARENB | (m_parity == 'O' ? PARODD : 0);
    if (m_stopBits == 2) tio.c_cflag |= CSTOPB;
    if (m_handshaking & 2) tio.c_cflag |= CRTSCTS;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (m_handshaking & 1) tio.c_iflag |= IXON | IXOFF;
    // VMIN 1 makes an empty non-blocking read say EAGAIN, so a read of 0 bytes means hang-up.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedOf(m_baud);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(m_fd, TCSANOW, &tio) == 0;
}

void CSerialPort::ApplyDtr() {
    // Pseudo-terminals have no modem lines; a failure here changes nothing for them.
    int bits = TIOCM_DTR;
    ::ioctl(m_fd, m_dtr ? TIOCMBIS : TIOCMBIC, &bits);
}

void CSerialPort::CloseDevice() {
    m_notifier.reset();
    if (m_fd >= 0) {
        // The flag would outlive this open while anything else holds the line (a simulator holds
        // its own end) and keep the next open out.
        ::ioctl(m_fd, TIOCNXCL);
        ::close(m_fd);
        m_fd = -1;
    }
    m_input.clear();
    m_status = QStringLiteral("Port closed");
}

void CSerialPort::ReadAvailable() {
    char chunk[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n > 0) {
            const qsizetype room = kMaxBuffered - m_input.size();
            m_input.append(chunk, std::min<qsizetype>(n, std::max<qsizetype>(room, 0)));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // 0 bytes or a hard error (EIO from a pseudo-terminal whose other end closed): the line is gone.
        // Keep what arrived so the reader can still take it.
        QByteArray kept = m_input;
        CloseDevice();
        m_input = kept;
        m_hungUp = true;
        m_status = QStringLiteral("Port hung up");
        return;
    }
}

void CSerialPort::ClearInput() {
    if (m_fd >= 0) tcflush(m_fd, TCIFLUSH);
    m_input.clear();
}

QString CSerialPort::Input() {
    QString text = QString::fromLatin1(m_input);
    m_input.clear();
    return text;
}

void CSerialPort::Output(const QString& text) {
    if (m_fd < 0) Raise(kErrPortNotOpen, QStringLiteral("Operation valid only when the port is open"));
    const QByteArray bytes = text.toLatin1();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, kWriteTimeoutMs) > 0 && !(p.revents & (POLLERR | POLLHUP))) continue;
        } else if (n < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EPIPE)) {
            // The other end is gone: as on reading, the port closes itself and says it hung up.
            CloseDevice();
            m_hungUp = true;
        }
        Raise(kErrWriteFailed, QStringLiteral("Error writing to the communication port"));
    }
}

}  // namespace korotka
