#pragma once

#include <string>
#include <string_view>

// The test side of the line: opens the simulator's pseudo-terminal the way a serial-port client would.
class PtyClient {
public:
    explicit PtyClient(const std::string& path);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const;
    void Send(std::string_view bytes);
    // Collects until the text ends with CR LF or begins with NAK, or until timeoutMs have passed.
    std::string ReadReply(int timeoutMs);
    // Collects whatever arrives within ms.
    std::string ReadFor(int ms);
    // True when the line reports end-of-file or EIO within timeoutMs.
    bool WaitForHangUp(int timeoutMs);

private:
    enum class Stop { Never, AtReplyEnd };
    // Reads until the deadline (or a reply end); sets m_hungUp on end-of-file or EIO.
    std::string Collect(int timeoutMs, Stop stop);

    int m_fd = -1;
    bool m_hungUp = false;
};
