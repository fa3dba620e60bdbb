#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Keeps the trace of the episode under way and ends the process when the episode outlives its
// bound: a hang may hold the event loop, so the watch runs on a thread of its own.
class MonkeyWatchdog {
public:
    // The exit status of a process the watchdog ended.
    static constexpr int kHangExit = 3;

    MonkeyWatchdog();
    ~MonkeyWatchdog();
    MonkeyWatchdog(const MonkeyWatchdog&) = delete;
    MonkeyWatchdog& operator=(const MonkeyWatchdog&) = delete;

    // A new episode and trace: unless Disarm comes within boundMs, the trace is printed and the
    // process ends.
    void Arm(uint32_t seed, int boundMs);
    void Disarm();
    // One line of the trace, stamped with the milliseconds since Arm.
    void Note(const std::string& line);
    std::vector<std::string> Trace() const;

private:
    using Clock = std::chrono::steady_clock;

    void Watch();

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Clock::time_point> m_deadline;
    Clock::time_point m_armed;
    uint32_t m_seed = 0;
    int m_boundMs = 0;
    std::vector<std::string> m_trace;
    bool m_quit = false;
    std::thread m_thread;
};
