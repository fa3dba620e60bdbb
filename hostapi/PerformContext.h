#pragma once

#include <QList>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "InstrumentData.h"

namespace orvex {

class ITestElement;

// What the host hands a test element for one run of a sequence.
class ORVEX_HOSTAPI_EXPORT PerformContext : public virtual IUnknown {
public:
    enum Navigation : int32_t { NavigateNext = 0, NavigatePrevious = 1, NavigateAbort = 2 };

    ~PerformContext() override;

    virtual bool QueryPerform(const std::shared_ptr<ITestElement>& element) = 0;
    virtual void Navigate(int32_t action) = 0;
    // The run's instruments; a context may have no list at all.
    virtual bool HasInstruments() const = 0;
    virtual QList<std::shared_ptr<InstrumentData>> Instruments() const = 0;
    virtual void AddInstrument(const std::shared_ptr<InstrumentData>& instrument) = 0;
    virtual std::shared_ptr<StandardList> Standards() const = 0;
    virtual void StoreResult(const std::shared_ptr<ITestElement>& element) = 0;
};

}  // namespace orvex
