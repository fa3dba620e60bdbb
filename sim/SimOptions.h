#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace korotkasim {

// Misbehaviour the simulated instrument can be told to show, at start or while running.
enum class Fault {
    None,
    Silence,       // never answers
    Nak,           // answers every command with a lone NAK
    Garbage,       // answers with random bytes that are neither ACK nor NAK, then CR LF
    Trickle,       // every reply in small chunks, trickleGapMs apart
    NoCrLf,        // replies without their final CR LF
    Disconnect,    // hangs up halfway through the next test reply
    Unreachable,   // the pump never reaches a pressure target
    NeverRelease,  // the monitor's relief valve never opens
};

// Command-line style names ("none", "silence", "nak", "garbage", "trickle", "no-crlf", "disconnect",
// "unreachable", "never-release").
std::optional<Fault> FaultFromName(std::string_view name);
std::string_view FaultName(Fault fault);
// All names, comma separated, for help and error texts.
std::string FaultNames();

constexpr double kMaxPressureMmHg = 600.0;
constexpr double kMaxLeakMmHgPerMin = 600.0;
constexpr int kMaxReplyDelayMs = 60000;
// The receiver ends a reply after 1000 ms of silence, so a trickle gap must stay below that.
constexpr int kMaxTrickleGapMs = 999;
constexpr std::size_t kModelLength = 7;
constexpr std::size_t kMaxIdentityLength = 32;

struct SimOptions {
    // Multiplies every delay of the pneumatic model: 1.0 is real time, 0.01 runs a 30 s test in 0.3 s.
    double timeScale = 1.0;
    // Added before every reply.
    int replyDelayMs = 0;
    // Write replies byte by byte at the pace of a 9600 baud line.
    bool pace = false;
    int trickleGapMs = 300;
    Fault fault = Fault::None;
    std::string serial = "KT-0001234";
    std::string model = "KNB-300";  // exactly kModelLength characters
    std::string firmware = "2.10";
    double reliefMmHg = 300.0;    // opening pressure of the monitor's relief valve
    double leakMmHgPerMin = 2.0;  // leak of the cuff system while the pump is idle
    // Receives one readable line per command and reply, on the simulator thread. It must not call back
    // into the simulator.
    std::function<void(std::string_view)> log;
};

// Empty when the options are usable, otherwise what is wrong with them.
std::string CheckOptions(const SimOptions& options);

}  // namespace korotkasim
