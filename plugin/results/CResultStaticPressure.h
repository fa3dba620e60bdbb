#pragma once

#include <QString>

#include "plugin/base/PlugInExport.h"
#include "plugin/results/CResultBase.h"

namespace korotka {

// The result of the static pressure test: the pressure the equipment under test shows ("STAT",
// typed in by the technician), the Korotka's manometer ("MANO") and their difference ("DIFF").
class KOROTKA_PLUGIN_EXPORT CResultStaticPressure : public CResultBase {
public:
    CResultStaticPressure();

    // The three measurements in the unit; one the record holds already keeps its readings.
    void CreateMeasurements(const QString& unitText);
    // A manometer reading: "MANO" takes it, "DIFF" becomes "STAT" less the reading ("STAT" counts
    // as 0 while nothing is typed in).
    void SetManometer(float reading);
};

}  // namespace korotka
