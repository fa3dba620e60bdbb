#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/TestElementInfo.h"

namespace orvex {

class ORVEX_HOST_EXPORT HostTestElementInfo : public TestElementInfo {
public:
    QString Type() const override { return m_type; }
    QString Parameter() const override { return m_parameter; }
    QString Description() const override { return m_description; }
    QString Name() const override { return m_name; }
    void SetType(const QString& type, const QString& parameter) override;
    void SetDescription(const QString& description) override { m_description = description; }
    void SetName(const QString& name) override { m_name = name; }

private:
    QString m_type;
    QString m_parameter;
    QString m_description;
    QString m_name;
};

}  // namespace orvex
