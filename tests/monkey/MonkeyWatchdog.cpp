#include "MonkeyWatchdog.h"

#include <cstdio>
#include <cstdlib>

MonkeyWatchdog::MonkeyWatchdog() : m_thread(&MonkeyWatchdog::Watch, this) {}

MonkeyWatchdog::~MonkeyWatchdog() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void MonkeyWatchdog::Arm(uint32_t seed, int boundMs) {
    {
        std::lock_guard lock(m_mutex);
        m_seed = seed;
        m_boundMs = boundMs;
        m_armed = Clock::now();
        m_deadline = m_armed + std::chrono::milliseconds(boundMs);
        m_trace.clear();
    }
    m_changed.notify_all();
}

void MonkeyWatchdog::Disarm() {
    {
        std::lock_guard lock(m_mutex);
        m_deadline.reset();
    }
    m_changed.notify_all();
}

void MonkeyWatchdog::Note(const std::string& line) {
    std::lock_guard lock(m_mutex);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_armed).count();
    m_trace.push_back(std::to_string(ms) + " ms: " + line);
}

std::vector<std::string> MonkeyWatchdog::Trace() const {
    std::lock_guard lock(m_mutex);
    return m_trace;
}

void MonkeyWatchdog::Watch() {
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (!m_deadline) {
            m_changed.wait(lock);
            continue;
        }
        if (m_changed.wait_until(lock, *m_deadline) != std::cv_status::timeout || !m_deadline ||
            Clock::now() < *m_deadline) {
            continue;
        }
        std::fprintf(stderr, "VIOLATION seed %u: hang: the episode did not end within %d ms\n", m_seed,
                     m_boundMs);
        for (const std::string& line : m_trace) std::fprintf(stderr, "  %s\n", line.c_str());
        std::fprintf(stderr, "replay: monkey --seed %u --episodes 1\n", m_seed);
        std::fflush(stderr);
        std::_Exit(kHangExit);
    }
}
