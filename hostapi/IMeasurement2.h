#pragma once

#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

// A measurement's answers about its limits.
class ORVEX_HOSTAPI_EXPORT IMeasurement2 : public virtual IUnknown {
public:
    // Option bits of GetLimitValue and GetResultValue.
    static constexpr int32_t kEvaluateCalculated = 1;
    static constexpr int32_t kAsText = 2;
    static constexpr int32_t kWithUnit = 4;

    ~IMeasurement2() override;

    virtual Variant GetLimitValue(const std::shared_ptr<Standard>& standard, int32_t position,
                                  int32_t options) = 0;
    virtual Variant GetResultValue(int32_t options) = 0;
    virtual bool SupportsLimit(const Variant& unused) = 0;
    virtual float CalculateLimitValue(const std::shared_ptr<LimitEntry>& entry, int32_t position) = 0;
    virtual int32_t ValidateLimits(const std::shared_ptr<Standard>& standard) = 0;
};

}  // namespace orvex
