#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "host/platform/HostExport.h"

namespace orvex {

class ITestElement;

// The limit sets the host ships, taken from the standards for blood-pressure monitors and their
// gauges. Each new test gets those that apply to it; afterwards they are ordinary standards of the
// test: edited in the limit editor, stored with it, converted when its unit changes.
class ORVEX_HOST_EXPORT HostShippedStandards {
public:
    // The relief-valve limit depends on the patient the monitor is for.
    enum class Patient { Adult, Neonate };

    // Adds each set that applies to the test's id and the patient to the test's limits, its
    // limits (written in mmHg) converted exactly into the unit the test's limits are kept in. A set
    // for a unit the host does not know is left out with a warning.
    static void AddTo(ITestElement& element, Patient patient);
    // The text of a pressure unit by the code a test's configuration keeps it by (0 mmHg, 1 kPa,
    // 2 cmH2O, 3 inH2O, 4 PSI); none for another code.
    static std::optional<QString> PressureUnit(int32_t code);
    // "adult" or "neonate"; none for any other text.
    static std::optional<Patient> PatientFromName(const QString& name);
    // A line per set, in English, for a help text: its name, what it holds, the readings it judges.
    static QStringList Described();
};

}  // namespace orvex
