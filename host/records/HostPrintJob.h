#pragma once

#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/PrintJob.h"

namespace orvex {

// The host's print run of a sequence: the standards its report is printed for.
class ORVEX_HOST_EXPORT HostPrintJob : public PrintJob {
public:
    explicit HostPrintJob(std::shared_ptr<StandardList> standards = nullptr);

    std::shared_ptr<StandardList> Standards() const override;

private:
    std::shared_ptr<StandardList> m_standards;
};

}  // namespace orvex
