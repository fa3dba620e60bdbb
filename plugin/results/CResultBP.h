#pragma once

#include <memory>

#include "hostapi/ILimitData.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/results/CResultBase.h"

namespace korotka {

class CConfigPBP;

// The result of the blood-pressure simulation: the systolic, diastolic, heart-rate and (when the
// preset has one) mean pressure the monitor under test showed, each beside the value the
// simulator was set to produce.
class KOROTKA_PLUGIN_EXPORT CResultBP : public CResultBase {
public:
    CResultBP();

    // Adds or updates the measurements of the configuration's preset in its blood-pressure unit;
    // without a configuration there are no preset values (so no mean pressure), no unit and the
    // formats of mmHg.
    void CreateMeasurements(const std::shared_ptr<CConfigPBP>& config);
    // Clear, with the measurements made anew from the configuration: a new preset brings its values.
    void Clear(const std::shared_ptr<CConfigPBP>& config);
    // Marks every measurement with the problem letter.
    void AddFlag(const QString& flag);
    // An aborted run keeps no measurements.
    void Evaluate(const std::shared_ptr<orvex::ILimitData>& limits,
                  const std::shared_ptr<orvex::StandardList>& standards, bool aborted) override;

protected:
    QString ReportHeader(orvex::ReportContext& report) const override;
};

}  // namespace korotka
