#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class XmlElement;

// One measured quantity of a result.
class ORVEX_HOSTAPI_EXPORT IMeasurement : public virtual IUnknown {
public:
    ~IMeasurement() override;

    virtual QString Description() = 0;
    virtual QString Key() = 0;
    virtual QString LimitKey() = 0;
    virtual int32_t Status() = 0;
    virtual QString Unit() = 0;
    virtual Variant Value() = 0;
    virtual Variant PresetValue() = 0;
    virtual int32_t ValueType() = 0;
    virtual QString ValueFormat() = 0;
    virtual QString Flags() = 0;
    virtual QString ToolTipText() = 0;
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlElement>& parent) = 0;
};

}  // namespace orvex
