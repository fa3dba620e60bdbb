#pragma once

#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/results/CResultBase.h"

namespace korotka {

// The result of the over-pressure test: the pressure at which the monitor released ("PEAK") and
// whether it released at all ("MREL"). A monitor that did not release fails the run.
class KOROTKA_PLUGIN_EXPORT CResultOverPressure : public CResultBase {
public:
    CResultOverPressure();

    // The two measurements in the unit; one the record holds already keeps its readings.
    void CreateMeasurements(const QString& unitText);
    // The instrument's result array: element 1 the release pressure, element 3 whether it released.
    void SetResult(const orvex::VariantArray& result);

protected:
    bool FailsRun(CMeasurement& measurement) const override;
};

}  // namespace korotka
