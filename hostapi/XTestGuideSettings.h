#pragma once

#include <functional>
#include <memory>

#include "HostApiExport.h"
#include "HostControl.h"

namespace orvex {

class TestGuideSettings;

// The host's editor of a test's guide settings ("OrvexView.XTestGuideSettings"). It edits the
// bound settings object in place and raises Change after every edit of the user.
class ORVEX_HOSTAPI_EXPORT XTestGuideSettings : public HostControl {
public:
    using ChangeHandler = std::function<void()>;

    ~XTestGuideSettings() override;

    // The settings to edit from now on; none leaves the editor empty and disabled.
    virtual void SetSettings(std::shared_ptr<TestGuideSettings> settings) = 0;
    virtual std::shared_ptr<TestGuideSettings> Settings() const = 0;
    // The Change event's listener; an empty handler stops listening. Showing the bound settings
    // is no edit and raises nothing.
    virtual void SetChangeHandler(ChangeHandler handler) = 0;
};

}  // namespace orvex
