#pragma once

#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"

namespace orvex {

// The host's print run: what the records print their part of the report for.
class ORVEX_HOSTAPI_EXPORT PrintJob : public virtual IUnknown {
public:
    ~PrintJob() override;

    // The standards the printed sequence was performed against; none prints every standard.
    virtual std::shared_ptr<StandardList> Standards() const = 0;
};

}  // namespace orvex
