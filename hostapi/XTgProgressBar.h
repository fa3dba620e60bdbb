#pragma once

#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The progress bar of the test guide's tool bar, with its two display flags.
class ORVEX_HOSTAPI_EXPORT XTgProgressBar : public virtual IUnknown {
public:
    ~XTgProgressBar() override;

    // Percent done; values outside 0 to 100 are taken as the nearer end.
    virtual int16_t Value() const = 0;
    virtual void SetValue(int16_t percent) = 0;
    // First display flag: the bar is shown.
    virtual bool ShowBar() const = 0;
    virtual void SetShowBar(bool shown) = 0;
    // Second display flag: the percentage is written on the bar.
    virtual bool ShowPercent() const = 0;
    virtual void SetShowPercent(bool shown) = 0;
};

}  // namespace orvex
