#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "host/platform/HostExport.h"
#include "hostapi/Standard.h"
#include "hostapi/Variant.h"

namespace orvex {

// The host's standard ("OrvexTypeLib.Standard").
class ORVEX_HOST_EXPORT HostStandard : public Standard {
public:
    void Initialize(const QString& alphaName, const QString& completeName, int32_t number) override;
    QString AlphaName() const override { return m_alphaName; }
    QString CompleteName() const override { return m_completeName; }
    int32_t Number() const override { return m_number; }

    void Add(const std::shared_ptr<LimitEntry>& entry) override;
    int32_t Count() const override;
    std::shared_ptr<LimitEntry> Item(int32_t index) const override;

    std::shared_ptr<Standard> Clone() const override;
    int32_t Evaluate(const QString& key, float value, const Variant& preset) const override;

private:
    QString m_alphaName;
    QString m_completeName;
    int32_t m_number = 0;
    std::vector<std::shared_ptr<LimitEntry>> m_entries;
};

}  // namespace orvex
