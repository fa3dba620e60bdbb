#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "hostapi/VariantArray.h"
#include "plugin/settings/MUtils.h"

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

    // The parameter array from typed texts: "True" and "False" in any case become Booleans, as
    // configurations store them; everything else stays text for the driver to convert.
    static orvex::VariantArray Parameters(const QStringList& texts);

    // The Comm and Vent time-outs as the plug-in reads them from the machine's settings, so that
    // a test here waits exactly as long as a test in a sequence.
    void LoadTimeouts();
    int32_t CommTimeout() const { return m_commTimeout; }
    int32_t VentTimeout() const { return m_ventTimeout; }

    // Raises ComError when the instrument cannot be reached, refuses the request or does not answer
    // within the given number of polls; the link is closed again in every case.
    Result Run(const QStringList& parameters, int polls) const;

private:
    int32_t m_commTimeout = korotka::MUtils::CommTimeout();
    int32_t m_ventTimeout = korotka::MUtils::VentTimeout();
};

}  // namespace korotkatool
