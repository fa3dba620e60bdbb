#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "hostapi/ServiceRecord.h"

namespace orvex {

// The host's service-history entry ("OrvexTypeLib.ServiceRecord"), stored as
// <ServiceRecord><Verdict>F</Verdict><Values>/150/149/1</Values></ServiceRecord>.
class ORVEX_HOST_EXPORT HostServiceRecord : public ServiceRecord {
public:
    // The stored verdict is none of "", "F" and "NA".
    static constexpr int32_t kErrUnknownVerdict = HostErrors::kUnknownVerdict;

    void Initialize(const std::shared_ptr<TestElementFilter>& filter, const QString& verdict,
                    const QString& values) override;
    QString Verdict() const override { return m_verdict; }
    QString Values() const override { return m_values; }
    std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlDocument>& document) const override;
    // An unknown verdict is kept as stored, and the log (when there is one) says so.
    void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) override;

private:
    QString m_verdict;
    QString m_values;
};

}  // namespace orvex
