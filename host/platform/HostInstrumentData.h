#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/InstrumentData.h"

namespace orvex {

class ORVEX_HOST_EXPORT HostInstrumentData : public InstrumentData {
public:
    QString MTIName() const override { return m_name; }
    QString SerialNo() const override { return m_serialNo; }
    QString FWVersion() const override { return m_fwVersion; }
    void SetIdentity(const QString& name, const QString& serialNo, const QString& fwVersion) override;
    void SetType(const QString& name, int32_t typeNumber) override;
    int32_t TypeNumber() const override { return m_typeNumber; }

    QString PlugInID() const override { return m_plugInId; }
    void SetPlugInID(const QString& plugInId) override { m_plugInId = plugInId; }
    int32_t Index() const override { return m_index; }
    void SetIndex(int32_t index) override { m_index = index; }

private:
    QString m_name;
    QString m_serialNo;
    QString m_fwVersion;
    int32_t m_typeNumber = 0;
    QString m_plugInId;
    int32_t m_index = 0;
};

}  // namespace orvex
