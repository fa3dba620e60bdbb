#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// One numbered button of the test guide's tool bar.
class ORVEX_HOSTAPI_EXPORT XTgButton : public virtual IUnknown {
public:
    ~XTgButton() override;

    virtual int32_t Number() const = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Whether the button is on the tool bar at all.
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    // The latched (pressed-in) state, as the Start button shows a running test.
    virtual bool Pressed() const = 0;
    virtual void SetPressed(bool pressed) = 0;
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
};

}  // namespace orvex
