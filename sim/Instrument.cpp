#include "sim/Instrument.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

#include "sim/Protocol.h"

namespace korotkasim {

namespace {

struct PressureUnit {
    std::string_view command;
    std::string_view text;
    double mmHgPerUnit;
};

constexpr std::array<PressureUnit, 5> kPressureUnits{{
    {"PRESS_UNITS_MMHG", "mmHg", 1.0},
    {"PRESS_UNITS_KPA", "kPa", 7.50062},
    {"PRESS_UNITS_CMH2O", "cmH2O", 0.735559},
    {"PRESS_UNITS_INH2O", "inH2O", 1.86832},
    {"PRESS_UNITS_PSI", "PSI", 51.7149},
}};

constexpr std::array<std::string_view, 2> kBpUnitCommands{"BP_UNITS_MMHG", "BP_UNITS_KPA"};

constexpr std::array<std::pair<std::string_view, PneumaticModel::Cuff>, 3> kCuffs{{
    {"CUFF_EXT", PneumaticModel::Cuff::External},
    {"CUFF_IA", PneumaticModel::Cuff::InternalAdult},
    {"CUFF_IN", PneumaticModel::Cuff::InternalNeonate},
}};

constexpr std::array<std::string_view, 30> kSimulations{
    "SIM_STD60_30",   "SIM_STD80_50",   "SIM_STD100_65", "SIM_STD120_80",   "SIM_STD150_100",
    "SIM_STD200_150", "SIM_STD255_195", "SIM_HEALTHY",   "SIM_WEAK_PULSE",  "SIM_MILDEX",
    "SIM_STRENEX",    "SIM_OBESE",      "SIM_GERIATRIC", "SIM_TACHYCARDIA", "SIM_BRADYCARDIA",
    "SIM_PAC1",       "SIM_PAC2",       "SIM_PVC",       "SIM_AFIBPVC",     "SIM_SB1",
    "SIM_SB2",        "SIM_SB3",        "SIM_CV",        "SIM_NEO35_15",    "SIM_NEO60_30",
    "SIM_NEO80_50",   "SIM_NEO100_70",  "SIM_WC80_55",   "SIM_WC120_80",    "SIM_WC160_100",
};
constexpr std::string_view kSimulationPrefix = "SIM_";
// The waveform generator needs a moment before the first beat is usable.
constexpr double kSimulationStartUp = 3.0;

constexpr std::size_t kMaxArgumentLength = 16;

// Decimal text with an optional fraction; no sign, exponent or spaces.
std::optional<double> ParsePressure(std::string_view text) {
    if (text.empty() || text.size() > kMaxArgumentLength) {
        return std::nullopt;
    }
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!digit || error != std::errc() || end != text.data() + text.size() || value > kMaxPressureMmHg) {
        return std::nullopt;
    }
    return value;
}

// Exactly five characters, with as many decimals as fit (at most three): in PSI or inH2O one
// decimal would be 5 or 0.2 mmHg, too coarse to judge a leak of a few mmHg/min.
std::string FormatValue(double value) {
    if (!(value > 0.0)) {
        value = 0.0;
    }
    value = std::min(value, 99999.0);
    // The largest value each number of decimals still writes in five characters, once rounded.
    constexpr std::array<std::pair<double, int>, 3> kFits{{{9.9995, 3}, {99.995, 2}, {999.95, 1}}};
    int decimals = 0;
    for (const auto& [below, places] : kFits) {
        if (value < below) {
            decimals = places;
            break;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text, "%5.*f", decimals, value);
    return text;
}

Instrument::Reply Refuse() { return {std::string(1, kNak), 0.0, false, false}; }

Instrument::Reply Ack(std::string_view data, double readyAt, bool test) {
    std::string bytes(1, kAck);
    bytes += data;
    bytes += kCrLf;
    return {std::move(bytes), readyAt, test, true};
}

}  // namespace

Instrument::Instrument(const SimOptions& options) : m_model(options.leakMmHgPerMin, options.reliefMmHg) {
    Configure(options);
}

void Instrument::Configure(const SimOptions& options) {
    m_serial = options.serial;
    m_version = options.model + " Ver " + options.firmware;
    m_model.SetLeakRate(options.leakMmHgPerMin);
    m_model.SetReliefPressure(options.reliefMmHg);
}

Instrument::Reply Instrument::Handle(std::string_view frame, double now, Fault fault) {
    if (frame.size() < 2 || frame.front() != '[' || frame.back() != ']') {
        return Refuse();
    }
    const std::string_view inner = frame.substr(1, frame.size() - 2);
    // A gauge reading right after [PSOURCE] waits for the source; anything else ends that wait.
    std::optional<PneumaticModel::Outcome> source;
    source.swap(m_pendingSource);
    const std::size_t comma = inner.find(',');
    if (comma == std::string_view::npos) {
        if (inner == "GAUGE" && source && source->doneAt > now) {
            return Ack(Reading(*source), source->doneAt, true);
        }
        return HandlePlain(inner, now);
    }
    return HandlePressureTest(inner.substr(0, comma), inner.substr(comma + 1), now, fault);
}

Instrument::Reply Instrument::HandlePlain(std::string_view name, double now) {
    if (name == "BLEED_SYSTEM") {
        return Ack({}, m_model.Vent(now).doneAt, false);
    }
    if (name == "BP_SERIAL") {
        return Ack(m_serial, now, false);
    }
    if (name == "BP_VERSION") {
        return Ack(m_version, now, false);
    }
    for (std::size_t i = 0; i < kPressureUnits.size(); ++i) {
        if (name == kPressureUnits[i].command) {
            m_pressureUnit = int(i);
            return Ack({}, now, false);
        }
    }
    for (std::size_t i = 0; i < kBpUnitCommands.size(); ++i) {
        if (name == kBpUnitCommands[i]) {
            m_bpUnit = int(i);
            return Ack({}, now, false);
        }
    }
    for (const auto& [command, cuff] : kCuffs) {
        if (name == command) {
            m_model.SetCuff(cuff);
            return Ack({}, now, false);
        }
    }
    if (name == "GAUGE") {
        const PneumaticModel::Outcome outcome = m_model.Gauge(now);
        return Ack(Reading(outcome), outcome.doneAt, true);
    }
    for (const std::string_view simulation : kSimulations) {
        if (name == simulation) {
            // The blood-pressure units share their first two codes with the pressure units.
            const std::string ready = "READY " + std::string(name.substr(kSimulationPrefix.size())) + " " +
                                      std::string(kPressureUnits[std::size_t(m_bpUnit)].text);
            return Ack(ready, now + kSimulationStartUp, true);
        }
    }
    return Refuse();
}

Instrument::Reply Instrument::HandlePressureTest(std::string_view name, std::string_view argument, double now,
                                                 Fault fault) {
    const bool pumpStalls = fault == Fault::Unreachable;
    const std::optional<double> pressure = ParsePressure(argument);
    if (!pressure) {
        return Refuse();
    }
    if (name == "PSOURCE") {
        // The source is switched on at once; the gauge answers when it holds the pressure.
        m_pendingSource = m_model.Source(now, *pressure, pumpStalls);
        return Ack(Reading({now, m_model.PressureAt(now)}), now, true);
    }
    if (name == "LEAK") {
        const PneumaticModel::Outcome outcome = m_model.Leak(now, *pressure, pumpStalls);
        return Ack(Reading(outcome), outcome.doneAt, true);
    }
    if (name == "RELIEF") {
        const PneumaticModel::Outcome outcome = m_model.Relief(now, *pressure, fault == Fault::NeverRelease);
        return Ack(Reading(outcome), outcome.doneAt, true);
    }
    return Refuse();
}

std::string Instrument::Reading(const PneumaticModel::Outcome& outcome) const {
    const PressureUnit& unit = kPressureUnits[std::size_t(m_pressureUnit)];
    const std::string value = outcome.reading ? FormatValue(*outcome.reading / unit.mmHgPerUnit) : "ERROR";
    return value + " " + std::string(unit.text);
}

}  // namespace korotkasim
