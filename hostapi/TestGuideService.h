#pragma once

#include <QString>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

class ITestElement;

// The host's help for the test guide window.
class ORVEX_HOSTAPI_EXPORT TestGuideService : public virtual IUnknown {
public:
    ~TestGuideService() override;

    virtual QString Title(const std::shared_ptr<ITestElement>& element) = 0;
    // Asks the technician whether to abort the sequence.
    virtual bool ConfirmAbort() = 0;
};

}  // namespace orvex
