#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/TestElementFilter.h"

namespace orvex {

class ORVEX_HOST_EXPORT HostTestElementFilter : public TestElementFilter {
public:
    int32_t Options() const override;
    void SetOptions(int32_t options) override;

private:
    int32_t m_options = 0;
};

}  // namespace orvex
