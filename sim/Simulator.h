#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "sim/FrameReader.h"
#include "sim/Instrument.h"
#include "sim/SimOptions.h"

namespace korotkasim {

// Raw bytes for the line, written delayMs after the previous chunk (the first one after the call).
struct Chunk {
    int delayMs = 0;
    std::string bytes;
};

// The simulated instrument on a pseudo-terminal. Clients open SlavePath() like a serial port. One
// thread owns the line: it reads commands, runs the instrument and writes replies when they are due.
// One test runs at a time: a command the instrument accepts ends a test still running, whose reply is
// then never sent. All public members are thread-safe.
class Simulator {
public:
    explicit Simulator(SimOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the pseudo-terminal and starts the thread. A simulator starts once.
    bool Start(std::string* error);
    // Stops the thread and closes the line; safe to call more than once.
    void Stop();
    std::string SlavePath() const;

    void SetFault(Fault fault);
    // The setters below refuse values that CheckOptions would refuse.
    bool SetReplyDelayMs(int ms);
    void SetPacing(bool on);
    bool SetReliefPressure(double mmHg);
    bool SetLeakRate(double mmHgPerMin);
    // With automatic replies off, commands are only recorded and the line is left to Schedule.
    void SetAutoReply(bool on);

    void Schedule(const std::vector<Chunk>& chunks);
    // Streams 'A' once a millisecond, without line ends, until turned off.
    void Babble(bool on);
    // Closes the line now, as a pulled adapter would; clients read end-of-file or EIO from then on.
    void HangUp();

    // Every framed command since the last clear, exactly as received (brackets included), oldest first.
    std::vector<std::string> ReceivedCommands() const;
    void ClearReceived();
    // Every framed command ever received, clears and the bound on the record above notwithstanding.
    std::size_t CommandCount() const;
    // How many descriptors of this process have the line open, besides the simulator's own: what an
    // in-process client holds. A client in another process is not seen.
    int ClientOpenCount() const;

    // Bytes with control characters spelled out: <ACK>, <NAK>, <CR>, <LF>, otherwise <xHH>.
    static std::string Readable(std::string_view bytes);

private:
    using Clock = std::chrono::steady_clock;

    struct Pending {
        Clock::time_point due;
        std::string bytes;
        bool test = false;
    };
    struct Output {
        Clock::time_point due;
        std::string bytes;
        bool hangUpAfter = false;
    };

    void Run();
    void Wake() const;
    void ServiceDue(Clock::time_point now);
    void ServiceLine(short revents);
    void OnBytes(std::string_view bytes, Clock::time_point now);
    void Emit(std::string bytes, bool test, Clock::time_point now);
    void Enqueue(Clock::time_point due, std::string_view bytes, bool paced, bool hangUpAfter);
    void WriteDue(Clock::time_point now);
    std::optional<Clock::time_point> NextWake() const;
    std::string Garbage();
    bool ApplyOptions(const SimOptions& options);
    void CloseLine();
    void LoseLine(const char* what);
    void Log(std::string line);
    double ModelTime(Clock::time_point at) const;
    Clock::time_point RealTime(double modelTime) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_lineClosed;
    const std::function<void(std::string_view)> m_log;  // fixed at construction: called without the lock
    SimOptions m_options;
    Instrument m_instrument;
    FrameReader m_reader;
    std::thread m_thread;
    int m_masterFd = -1;
    int m_slaveFd = -1;  // held so the master never sees a hang-up while no client has the port open
    int m_wakeFd = -1;
    std::string m_slavePath;
    bool m_started = false;
    bool m_stopping = false;
    bool m_hangUpRequested = false;
    bool m_autoReply = true;
    bool m_babble = false;
    bool m_writeBlocked = false;
    Clock::time_point m_epoch;
    Clock::time_point m_nextBabble;
    Clock::time_point m_lineFree;
    std::optional<Clock::time_point> m_drainUntil;  // set while a dropping line lets its last bytes go
    Clock::time_point m_nextDrainCheck;
    std::optional<Pending> m_pending;
    std::deque<Output> m_output;
    std::deque<std::string> m_received;
    std::size_t m_commandCount = 0;
    std::vector<std::string> m_logLines;
    std::mt19937 m_random;
};

}  // namespace korotkasim
