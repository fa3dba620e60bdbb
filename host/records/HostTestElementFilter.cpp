#include "HostTestElementFilter.h"

namespace orvex {

int32_t HostTestElementFilter::Options() const { return m_options; }

void HostTestElementFilter::SetOptions(int32_t options) { m_options = options; }

}  // namespace orvex
