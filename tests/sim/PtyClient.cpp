#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

bool IsReplyEnd(const std::string& text) {
    return (!text.empty() && text.front() == 21) || text.ends_with("\r\n");
}

}  // namespace

PtyClient::PtyClient(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    if (m_fd < 0) {
        return;
    }
    termios settings{};
    ::tcgetattr(m_fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_fd, TCSANOW, &settings);
    ::tcflush(m_fd, TCIOFLUSH);
}

PtyClient::~PtyClient() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool PtyClient::IsOpen() const { return m_fd >= 0; }

void PtyClient::Send(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string PtyClient::ReadReply(int timeoutMs) { return Collect(timeoutMs, Stop::AtReplyEnd); }

std::string PtyClient::ReadFor(int ms) { return Collect(ms, Stop::Never); }

bool PtyClient::WaitForHangUp(int timeoutMs) {
    Collect(timeoutMs, Stop::Never);
    return m_hungUp;
}

std::string PtyClient::Collect(int timeoutMs, Stop stop) {
    std::string text;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!m_hungUp && !(stop == Stop::AtReplyEnd && IsReplyEnd(text))) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buffer[256];
        const ssize_t received = ::read(m_fd, buffer, sizeof buffer);
        if (received > 0) {
            text.append(buffer, static_cast<std::size_t>(received));
        } else if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
            m_hungUp = true;
        }
    }
    return text;
}
