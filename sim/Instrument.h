#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/PneumaticModel.h"
#include "sim/SimOptions.h"

namespace korotkasim {

// The instrument's command interpreter: turns one framed command into the reply it earns and the time
// (model seconds) at which that reply is ready. It knows nothing of threads or the line.
//
// Pressure arguments are decimal mmHg ("250", "152.5"), 0 to kMaxPressureMmHg; anything else is refused
// with a lone NAK, as is an unknown command. Readings are given in the selected pressure unit.
//
// Replies (ACK = byte 6, all but NAK end in CR LF):
//   set-up commands, including [BLEED_SYSTEM]   ACK                      (bleed: once vented)
//   [BP_SERIAL]                                   ACK serial
//   [BP_VERSION]                                  ACK model " Ver " firmware
//   [PSOURCE,p]                                   ACK value " " unit       (pressure now; the source runs on)
//   [GAUGE]                                       ACK value " " unit       (pressure read; right after a
//                                                                           PSOURCE, once it is reached)
//   [LEAK,p]                                      ACK value " " unit       (leak rate per minute)
//   [RELIEF,p]                                    ACK value " " unit       (release pressure, "  0.0"
//                                                                           when the valve stayed shut)
//   [SIM_...]                                     ACK "READY " preset " " blood-pressure unit
// value is exactly five characters, right-aligned ("250.0", " 33.3", " 1000"), or "ERROR" when the
// pump could not reach the target.
class Instrument {
public:
    struct Reply {
        std::string bytes;
        double readyAt = 0.0;
        bool test = false;      // the reply of a test, as opposed to set-up or identity
        bool accepted = false;  // false when the command was refused with NAK
    };

    explicit Instrument(const SimOptions& options);

    // Takes over identity, leak rate and relief pressure.
    void Configure(const SimOptions& options);
    Reply Handle(std::string_view frame, double now, Fault fault);

private:
    // Commands without an argument: set-up, identity, gauge and simulations.
    Reply HandlePlain(std::string_view name, double now);
    Reply HandlePressureTest(std::string_view name, std::string_view argument, double now, Fault fault);
    std::string Reading(const PneumaticModel::Outcome& outcome) const;

    PneumaticModel m_model;
    std::string m_serial;
    std::string m_version;
    int m_pressureUnit = 0;
    int m_bpUnit = 0;
    // What the last [PSOURCE] will reach, until the next command.
    std::optional<PneumaticModel::Outcome> m_pendingSource;
};

}  // namespace korotkasim
