#include "HostInstrumentData.h"

namespace orvex {

void HostInstrumentData::SetIdentity(const QString& name, const QString& serialNo, const QString& fwVersion) {
    m_name = name;
    m_serialNo = serialNo;
    m_fwVersion = fwVersion;
}

void HostInstrumentData::SetType(const QString& name, int32_t typeNumber) {
    m_name = name;
    m_typeNumber = typeNumber;
}

}  // namespace orvex
