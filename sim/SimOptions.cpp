#include "sim/SimOptions.h"

#include "sim/Protocol.h"

#include <array>
#include <cmath>
#include <utility>

namespace korotkasim {

namespace {

constexpr std::array<std::pair<Fault, std::string_view>, 9> kFaultNames{{
    {Fault::None, "none"},
    {Fault::Silence, "silence"},
    {Fault::Nak, "nak"},
    {Fault::Garbage, "garbage"},
    {Fault::Trickle, "trickle"},
    {Fault::NoCrLf, "no-crlf"},
    {Fault::Disconnect, "disconnect"},
    {Fault::Unreachable, "unreachable"},
    {Fault::NeverRelease, "never-release"},
}};

// Identity texts travel inside replies: keep them to printable ASCII so they cannot fake framing.
bool IsPrintableText(const std::string& text) {
    for (const char c : text) {
        if (c < 0x20 || c > 0x7e || c == kAck || c == kNak) {
            return false;
        }
    }
    return true;
}

bool InRange(double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

std::optional<Fault> FaultFromName(std::string_view name) {
    for (const auto& [fault, text] : kFaultNames) {
        if (text == name) {
            return fault;
        }
    }
    return std::nullopt;
}

std::string_view FaultName(Fault fault) {
    for (const auto& [candidate, text] : kFaultNames) {
        if (candidate == fault) {
            return text;
        }
    }
    return "none";
}

std::string FaultNames() {
    std::string names;
    for (const auto& [fault, text] : kFaultNames) {
        if (!names.empty()) {
            names += ", ";
        }
        names += text;
    }
    return names;
}

std::string CheckOptions(const SimOptions& options) {
    if (!InRange(options.timeScale, 0.0001, 1000.0)) {
        return "time scale must be between 0.0001 and 1000";
    }
    if (options.replyDelayMs < 0 || options.replyDelayMs > kMaxReplyDelayMs) {
        return "reply delay must be between 0 and " + std::to_string(kMaxReplyDelayMs) + " ms";
    }
    if (options.trickleGapMs < 1 || options.trickleGapMs > kMaxTrickleGapMs) {
        return "trickle gap must be between 1 and " + std::to_string(kMaxTrickleGapMs) + " ms";
    }
    if (options.model.size() != kModelLength || !IsPrintableText(options.model)) {
        return "model must be exactly " + std::to_string(kModelLength) + " printable characters";
    }
    if (options.serial.empty() || options.serial.size() > kMaxIdentityLength ||
        !IsPrintableText(options.serial)) {
        return "serial number must be 1 to " + std::to_string(kMaxIdentityLength) + " printable characters";
    }
    if (options.firmware.empty() || options.firmware.size() > kMaxIdentityLength ||
        !IsPrintableText(options.firmware)) {
        return "firmware version must be 1 to " + std::to_string(kMaxIdentityLength) +
               " printable characters";
    }
    if (!InRange(options.reliefMmHg, 1.0, kMaxPressureMmHg)) {
        return "relief pressure must be between 1 and " + std::to_string(int(kMaxPressureMmHg)) + " mmHg";
    }
    if (!InRange(options.leakMmHgPerMin, 0.0, kMaxLeakMmHgPerMin)) {
        return "leak rate must be between 0 and " + std::to_string(int(kMaxLeakMmHgPerMin)) + " mmHg/min";
    }
    return {};
}

}  // namespace korotkasim
