#pragma once

#include <cstdint>
#include <memory>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "hostapi/TestGuideSettings.h"

namespace orvex {

// The host's test-guide settings ("OrvexTypeLib.TestGuideSettings"), stored as
// <TestGuideSettings Flags="3"/>. A new object allows neither skipping nor "not applicable".
class ORVEX_HOST_EXPORT HostTestGuideSettings : public TestGuideSettings {
public:
    static constexpr int32_t kErrBadSettings = HostErrors::kBadSettings;

    int32_t Flags() const override { return m_flags; }
    void SetFlags(int32_t flags) override;
    // Raises 424 without an element and 5 for an element of another kind.
    void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) override;
    std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlDocument>& document) const override;
    std::shared_ptr<TestGuideSettings> Clone() const override;

private:
    int32_t m_flags = 0;
};

}  // namespace orvex
