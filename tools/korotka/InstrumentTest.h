#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "hostapi/VariantArray.h"

namespace korotkatool {

// One test on the instrument, run the way a test element runs it: open, start, poll one reply
// window at a time for the answer, stop and close.
class InstrumentTest {
public:
    struct Result {
        int32_t ack = 0;  // 6 ACK, 21 NAK
        QString field1;
        QString field2;
    };

    static constexpr int32_t kDefaultCommTimeout = 4;
    static constexpr int32_t kDefaultVentTimeout = 30;

    // The parameter array from typed texts: "True" and "False" in any case become Booleans, as
    // configurations store them; everything else stays text for the driver to convert.
    static orvex::VariantArray Parameters(const QStringList& texts);

    // Group "Timeouts", keys "Comm" and "Vent" in seconds; a missing or out-of-range value keeps the default.
    void LoadTimeouts(QSettings& settings);
    int32_t CommTimeout() const { return m_commTimeout; }
    int32_t VentTimeout() const { return m_ventTimeout; }

    // Raises ComError when the instrument cannot be reached, refuses the request or does not answer
    // within the given number of polls; the link is closed again in every case.
    Result Run(const QStringList& parameters, int polls) const;

private:
    int32_t m_commTimeout = kDefaultCommTimeout;
    int32_t m_ventTimeout = kDefaultVentTimeout;
};

}  // namespace korotkatool
