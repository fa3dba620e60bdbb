#include "HostPrintJob.h"

#include <utility>

#include "hostapi/StandardList.h"

namespace orvex {

HostPrintJob::HostPrintJob(std::shared_ptr<StandardList> standards) : m_standards(std::move(standards)) {}

std::shared_ptr<StandardList> HostPrintJob::Standards() const { return m_standards; }

}  // namespace orvex
