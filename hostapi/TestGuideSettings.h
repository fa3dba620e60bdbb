#pragma once

#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"

namespace orvex {

class XmlDocument;
class XmlElement;

// The host's test-guide settings of one test ("OrvexTypeLib.TestGuideSettings"): what the
// technician may do with the test in the guide window. A configuration record owns one and lets it
// load and save itself inside the record's element.
class ORVEX_HOSTAPI_EXPORT TestGuideSettings : public virtual IUnknown {
public:
    // Bits of the flag word.
    static constexpr int32_t kNotApplicableAllowed = 1;
    static constexpr int32_t kSkipAllowed = 2;

    ~TestGuideSettings() override;

    virtual int32_t Flags() const = 0;
    // Bits other than the two above are dropped.
    virtual void SetFlags(int32_t flags) = 0;

    // Reads the settings from their element; what cannot be read is noted in the log, when one is
    // given, and leaves the defaults.
    virtual void Load(const std::shared_ptr<XmlElement>& element, const std::shared_ptr<LoadLog>& log) = 0;
    // A new element of the document, not yet placed anywhere.
    virtual std::shared_ptr<XmlElement> Save(const std::shared_ptr<XmlDocument>& document) const = 0;
    virtual std::shared_ptr<TestGuideSettings> Clone() const = 0;
};

}  // namespace orvex
