#include "HostTestElementInfo.h"

namespace orvex {

void HostTestElementInfo::SetType(const QString& type, const QString& parameter) {
    m_type = type;
    m_parameter = parameter;
}

}  // namespace orvex
