#pragma once

#include <cstdint>
#include <memory>

#include "hostapi/IUnknown.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class TestGuideSettings;
}

namespace korotka {

// The plug-in's own view of a configuration that drives a pressure: the over-pressure and static
// pressure record and the leak record, so that one view edits all of them.
class KOROTKA_PLUGIN_EXPORT IKorotkaConfigPressure : public virtual orvex::IUnknown {
public:
    ~IKorotkaConfigPressure() override;

    // EKorotkaPressMeasUnit
    virtual int32_t PressureUnit() const = 0;
    virtual void SetPressureUnit(int32_t unit) = 0;
    // In PressureUnit.
    virtual float InflatePressure() const = 0;
    virtual void SetInflatePressure(float pressure) = 0;
    virtual bool ShowEquipmentControls() const = 0;
    virtual bool ShowNoPumpCheckbox() const = 0;
    virtual void SetShowNoPumpCheckbox(bool show) = 0;
    virtual std::shared_ptr<orvex::TestGuideSettings> TestGuideConfig() const = 0;
};

}  // namespace korotka
