#pragma once

#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// What the host keeps of a test element's outcome; bit 1 of the options asks for a service record.
class ORVEX_HOSTAPI_EXPORT TestElementFilter : public virtual IUnknown {
public:
    static constexpr int32_t kServiceRecord = 1;

    ~TestElementFilter() override;

    virtual int32_t Options() const = 0;
    virtual void SetOptions(int32_t options) = 0;
};

}  // namespace orvex
