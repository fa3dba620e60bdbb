#include "sim/Simulator.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "sim/Protocol.h"

namespace korotkasim {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// One start bit, eight data bits and one stop bit at 9600 baud.
constexpr nanoseconds kByteTime{1'041'667};
constexpr milliseconds kBabblePeriod{1};
constexpr std::size_t kTrickleChunk = 3;
// Bounds what a client that floods the line without reading can make us hold.
constexpr std::size_t kMaxOutputEntries = 4096;
constexpr std::size_t kMaxReceived = 4096;
constexpr std::size_t kReadBuffer = 256;
// Closing a pseudo-terminal discards what the client has not read yet, so a line that drops mid-reply
// waits for the written half to be taken before it closes (within a bound, for a client that never reads).
constexpr milliseconds kDrainFirstCheck{5};
constexpr milliseconds kDrainPeriod{1};
constexpr milliseconds kDrainLimit{500};

std::string ErrnoText(const char* what) {
    return std::string(what) + ": " + std::generic_category().message(errno);
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

bool IsRetryable(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

}  // namespace

Simulator::Simulator(SimOptions options)
    : m_log(std::move(options.log)),
      m_options(std::move(options)),
      m_instrument(m_options),
      m_random(std::random_device{}()) {
    m_options.log = nullptr;
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
    std::lock_guard lock(m_mutex);
    const auto fail = [&](std::string what) {
        if (error) {
            *error = std::move(what);
        }
        CloseLine();
        CloseFd(m_wakeFd);
        return false;
    };
    if (m_started) {
        if (error) {
            *error = "simulator already started";
        }
        return false;
    }
    if (const std::string problem = CheckOptions(m_options); !problem.empty()) {
        return fail(problem);
    }
    if (::openpty(&m_masterFd, &m_slaveFd, nullptr, nullptr, nullptr) != 0) {
        m_masterFd = m_slaveFd = -1;
        return fail(ErrnoText("openpty"));
    }
    // Raw, so that CR and LF reach a client that leaves the port settings alone untranslated.
    termios settings{};
    if (::tcgetattr(m_slaveFd, &settings) != 0) {
        return fail(ErrnoText("tcgetattr"));
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(m_slaveFd, TCSANOW, &settings) != 0) {
        return fail(ErrnoText("tcsetattr"));
    }
    // Non-blocking, so that a client that stops reading cannot stall the thread on a full buffer.
    const int flags = ::fcntl(m_masterFd, F_GETFL);
    if (flags < 0 || ::fcntl(m_masterFd, F_SETFL, flags | O_NONBLOCK) != 0 ||
        ::fcntl(m_masterFd, F_SETFD, FD_CLOEXEC) != 0 || ::fcntl(m_slaveFd, F_SETFD, FD_CLOEXEC) != 0) {
        return fail(ErrnoText("fcntl"));
    }
    char path[128];
    if (const int result = ::ttyname_r(m_slaveFd, path, sizeof path); result != 0) {
        errno = result;
        return fail(ErrnoText("ttyname_r"));
    }
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        return fail(ErrnoText("eventfd"));
    }
    m_slavePath = path;
    m_epoch = Clock::now();
    m_lineFree = m_epoch;
    m_started = true;
    m_thread = std::thread(&Simulator::Run, this);
    return true;
}

void Simulator::Stop() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_started || m_stopping) {
            return;
        }
        m_stopping = true;
        m_lineClosed.notify_all();
        Wake();
    }
    m_thread.join();
    std::lock_guard lock(m_mutex);
    CloseLine();
    CloseFd(m_wakeFd);
}

std::string Simulator::SlavePath() const {
    std::lock_guard lock(m_mutex);
    return m_slavePath;
}

void Simulator::SetFault(Fault fault) {
    std::lock_guard lock(m_mutex);
    m_options.fault = fault;
}

bool Simulator::SetReplyDelayMs(int ms) {
    std::lock_guard lock(m_mutex);
    SimOptions options = m_options;
    options.replyDelayMs = ms;
    return ApplyOptions(options);
}

void Simulator::SetPacing(bool on) {
    std::lock_guard lock(m_mutex);
    m_options.pace = on;
}

bool Simulator::SetReliefPressure(double mmHg) {
    std::lock_guard lock(m_mutex);
    SimOptions options = m_options;
    options.reliefMmHg = mmHg;
    return ApplyOptions(options);
}

bool Simulator::SetLeakRate(double mmHgPerMin) {
    std::lock_guard lock(m_mutex);
    SimOptions options = m_options;
    options.leakMmHgPerMin = mmHgPerMin;
    return ApplyOptions(options);
}

void Simulator::SetAutoReply(bool on) {
    std::lock_guard lock(m_mutex);
    m_autoReply = on;
}

void Simulator::Schedule(const std::vector<Chunk>& chunks) {
    std::lock_guard lock(m_mutex);
    Clock::time_point at = Clock::now();
    for (const Chunk& chunk : chunks) {
        at += milliseconds(std::max(0, chunk.delayMs));
        Enqueue(at, chunk.bytes, false, false);
    }
    Wake();
}

void Simulator::Babble(bool on) {
    std::lock_guard lock(m_mutex);
    m_babble = on;
    m_nextBabble = Clock::now();
    Wake();
}

void Simulator::HangUp() {
    std::unique_lock lock(m_mutex);
    if (!m_started || m_stopping) {
        return;
    }
    m_hangUpRequested = true;
    Wake();
    m_lineClosed.wait(lock, [this] { return !m_hangUpRequested || m_stopping; });
}

std::vector<std::string> Simulator::ReceivedCommands() const {
    std::lock_guard lock(m_mutex);
    return {m_received.begin(), m_received.end()};
}

void Simulator::ClearReceived() {
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

std::size_t Simulator::CommandCount() const {
    std::lock_guard lock(m_mutex);
    return m_commandCount;
}

int Simulator::ClientOpenCount() const {
    std::lock_guard lock(m_mutex);
    struct stat line {};
    if (m_slaveFd < 0 || ::fstat(m_slaveFd, &line) != 0) {
        return 0;
    }
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (descriptors == nullptr) {
        return 0;
    }
    int count = 0;
    while (const dirent* entry = ::readdir(descriptors)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        struct stat held {};
        if (end == entry->d_name || *end != '\0' || fd == m_slaveFd || fd == ::dirfd(descriptors) ||
            ::fstat(static_cast<int>(fd), &held) != 0) {
            continue;
        }
        if (S_ISCHR(held.st_mode) && held.st_rdev == line.st_rdev) {
            ++count;
        }
    }
    ::closedir(descriptors);
    return count;
}

std::string Simulator::Readable(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        switch (c) {
            case kAck:
                text += "<ACK>";
                break;
            case kNak:
                text += "<NAK>";
                break;
            case '\r':
                text += "<CR>";
                break;
            case '\n':
                text += "<LF>";
                break;
            default:
                if (c >= 0x20 && c < 0x7f) {
                    text += c;
                } else {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "<x%02X>", static_cast<unsigned char>(c));
                    text += hex;
                }
        }
    }
    return text;
}

void Simulator::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        const bool stopping = m_stopping;
        if (m_hangUpRequested) {
            CloseLine();
            Log("line hung up");
        }
        const Clock::time_point now = Clock::now();
        ServiceDue(now);

        pollfd fds[2] = {{m_wakeFd, POLLIN, 0},
                         {m_masterFd, static_cast<short>(POLLIN | (m_writeBlocked ? POLLOUT : 0)), 0}};
        const nfds_t count = m_masterFd >= 0 ? 2 : 1;
        timespec timeout{};
        const std::optional<Clock::time_point> wake = NextWake();
        if (wake) {
            const nanoseconds left = std::max(nanoseconds::zero(), *wake - now);
            timeout.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
        }
        std::vector<std::string> lines;
        lines.swap(m_logLines);

        lock.unlock();
        for (const std::string& line : lines) {
            m_log(line);
        }
        if (stopping) {
            return;
        }
        ::ppoll(fds, count, wake ? &timeout : nullptr, nullptr);
        lock.lock();

        if (fds[0].revents & POLLIN) {
            std::uint64_t wakeUps = 0;
            if (::read(m_wakeFd, &wakeUps, sizeof wakeUps) < 0 && !IsRetryable(errno)) {
                Log(ErrnoText("wake-up read"));
            }
        }
        if (count == 2) {
            ServiceLine(fds[1].revents);
        }
    }
}

void Simulator::Wake() const {
    if (m_wakeFd >= 0) {
        const std::uint64_t one = 1;
        // A full counter already means a pending wake-up, so a failed write loses nothing.
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

void Simulator::ServiceDue(Clock::time_point now) {
    if (m_pending && m_pending->due <= now) {
        Pending pending = std::move(*m_pending);
        m_pending.reset();
        if (m_autoReply) {
            Emit(std::move(pending.bytes), pending.test, now);
        }
    }
    if (m_drainUntil && now >= m_nextDrainCheck) {
        int unread = 0;
        if (now >= *m_drainUntil || ::ioctl(m_slaveFd, FIONREAD, &unread) != 0 || unread == 0) {
            CloseLine();
            Log("line dropped halfway through a reply");
            return;
        }
        m_nextDrainCheck = now + kDrainPeriod;
    }
    if (m_babble && m_masterFd >= 0 && now >= m_nextBabble) {
        m_nextBabble = now + kBabblePeriod;
        // Babble is a flood: bytes that do not fit into a full line are simply lost.
        if (!m_writeBlocked && ::write(m_masterFd, "A", 1) < 0 && !IsRetryable(errno)) {
            LoseLine("write failed");
            return;
        }
    }
    WriteDue(now);
}

void Simulator::ServiceLine(short revents) {
    if (revents & POLLOUT) {
        m_writeBlocked = false;
    }
    if (revents & POLLIN) {
        char buffer[kReadBuffer];
        const ssize_t received = ::read(m_masterFd, buffer, sizeof buffer);
        if (received > 0) {
            OnBytes({buffer, static_cast<std::size_t>(received)}, Clock::now());
        } else if (received == 0 || !IsRetryable(errno)) {
            LoseLine("read failed");
        }
    } else if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
        LoseLine("hang-up on the line");
    }
}

void Simulator::OnBytes(std::string_view bytes, Clock::time_point now) {
    const std::string nak(1, kNak);
    for (FrameReader::Event& event : m_reader.Feed(bytes)) {
        if (event.dropped) {
            Log("<- malformed frame dropped");
            if (m_autoReply) {
                Emit(nak, false, now);
            }
            continue;
        }
        Log("<- " + Readable(event.frame));
        if (m_received.size() >= kMaxReceived) {
            m_received.pop_front();
        }
        m_received.push_back(event.frame);
        ++m_commandCount;
        if (!m_autoReply) {
            continue;
        }
        // A dead or hostile instrument does not run its commands; Emit decides what, if anything, it says.
        if (m_options.fault == Fault::Silence || m_options.fault == Fault::Nak) {
            Emit(nak, false, now);
            continue;
        }
        Instrument::Reply reply = m_instrument.Handle(event.frame, ModelTime(now), m_options.fault);
        if (reply.accepted) {
            // A new command takes the instrument over: the unfinished test never reports.
            m_pending.reset();
        }
        const Clock::time_point due = RealTime(reply.readyAt);
        if (due <= now) {
            Emit(std::move(reply.bytes), reply.test, now);
        } else {
            m_pending = Pending{due, std::move(reply.bytes), reply.test};
        }
    }
}

void Simulator::Emit(std::string bytes, bool test, Clock::time_point now) {
    const Fault fault = m_options.fault;
    switch (fault) {
        case Fault::Silence:
            Log("-> (silent) " + Readable(bytes));
            return;
        case Fault::Nak:
            bytes.assign(1, kNak);
            break;
        case Fault::Garbage:
            bytes = Garbage();
            break;
        case Fault::NoCrLf:
            if (bytes.ends_with(kCrLf)) {
                bytes.resize(bytes.size() - kCrLf.size());
            }
            break;
        default:
            break;
    }
    const Clock::time_point due = now + milliseconds(m_options.replyDelayMs);
    if (fault == Fault::Disconnect && test) {
        const std::string half = bytes.substr(0, bytes.size() / 2);
        Log("-> " + Readable(half) + " (line dropped)");
        Enqueue(due, half, m_options.pace, true);
        return;
    }
    Log("-> " + Readable(bytes));
    if (fault == Fault::Trickle) {
        const milliseconds gap(m_options.trickleGapMs);
        for (std::size_t i = 0; i < bytes.size(); i += kTrickleChunk) {
            Enqueue(due + gap * static_cast<int>(i / kTrickleChunk),
                    std::string_view(bytes).substr(i, kTrickleChunk), m_options.pace, false);
        }
        return;
    }
    Enqueue(due, bytes, m_options.pace, false);
}

void Simulator::Enqueue(Clock::time_point due, std::string_view bytes, bool paced, bool hangUpAfter) {
    if (m_masterFd < 0 || m_drainUntil) {
        return;
    }
    if (m_output.size() + (paced ? bytes.size() : 1) > kMaxOutputEntries) {
        Log("output queue full: bytes dropped");
        return;
    }
    // The line is serial: nothing overtakes what is already queued.
    due = std::max(due, m_lineFree);
    if (!paced) {
        m_output.push_back({due, std::string(bytes), hangUpAfter});
        m_lineFree = due;
        return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_output.push_back({due + kByteTime * static_cast<int>(i), std::string(1, bytes[i]),
                            hangUpAfter && i + 1 == bytes.size()});
    }
    m_lineFree = due + kByteTime * static_cast<int>(bytes.size());
}

void Simulator::WriteDue(Clock::time_point now) {
    while (!m_writeBlocked && !m_output.empty() && m_output.front().due <= now) {
        Output& head = m_output.front();
        const ssize_t written = ::write(m_masterFd, head.bytes.data(), head.bytes.size());
        if (written < 0) {
            if (IsRetryable(errno)) {
                m_writeBlocked = true;
            } else {
                LoseLine("write failed");
            }
            return;
        }
        head.bytes.erase(0, static_cast<std::size_t>(written));
        if (!head.bytes.empty()) {
            m_writeBlocked = true;
            return;
        }
        const bool hangUp = head.hangUpAfter;
        m_output.pop_front();
        if (hangUp) {
            m_output.clear();
            m_drainUntil = now + kDrainLimit;
            m_nextDrainCheck = now + kDrainFirstCheck;
            return;
        }
    }
}

std::optional<Simulator::Clock::time_point> Simulator::NextWake() const {
    std::optional<Clock::time_point> next;
    const auto consider = [&next](Clock::time_point at) {
        if (!next || at < *next) {
            next = at;
        }
    };
    if (m_pending) {
        consider(m_pending->due);
    }
    if (!m_output.empty() && !m_writeBlocked) {
        consider(m_output.front().due);
    }
    if (m_babble && m_masterFd >= 0) {
        consider(m_nextBabble);
    }
    if (m_drainUntil) {
        consider(m_nextDrainCheck);
    }
    return next;
}

std::string Simulator::Garbage() {
    std::uniform_int_distribution<std::size_t> length(4, 12);
    std::uniform_int_distribution<int> value(0, 255);
    std::string bytes;
    const std::size_t wanted = length(m_random);
    while (bytes.size() < wanted) {
        const char c = static_cast<char>(value(m_random));
        // Neither an acknowledgement nor an early line end: the receiver must see one whole bad reply.
        if (c != kAck && c != kNak && c != '\r' && c != '\n') {
            bytes.push_back(c);
        }
    }
    return bytes + std::string(kCrLf);
}

bool Simulator::ApplyOptions(const SimOptions& options) {
    if (!CheckOptions(options).empty()) {
        return false;
    }
    m_options = options;
    m_instrument.Configure(m_options);
    return true;
}

void Simulator::CloseLine() {
    CloseFd(m_masterFd);
    CloseFd(m_slaveFd);
    m_output.clear();
    m_pending.reset();
    m_writeBlocked = false;
    m_hangUpRequested = false;
    m_drainUntil.reset();
    m_lineClosed.notify_all();
}

void Simulator::LoseLine(const char* what) {
    Log(std::string("line lost: ") + what);
    CloseLine();
}

void Simulator::Log(std::string line) {
    if (m_log) {
        m_logLines.push_back(std::move(line));
    }
}

double Simulator::ModelTime(Clock::time_point at) const {
    return std::chrono::duration<double>(at - m_epoch).count() / m_options.timeScale;
}

Simulator::Clock::time_point Simulator::RealTime(double modelTime) const {
    return m_epoch + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(modelTime * m_options.timeScale));
}

}  // namespace korotkasim
