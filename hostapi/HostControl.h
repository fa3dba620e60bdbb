#pragma once

#include "HostApiExport.h"
#include "IUnknown.h"

class QWidget;

namespace orvex {

// A control of the host's view libraries that a plug-in view embeds. The control is a widget: the
// holder of its shared_ptr owns it, so a container that lays it out gives it back (clears its Qt
// parent) before the holder releases it.
class ORVEX_HOSTAPI_EXPORT HostControl : public virtual IUnknown {
public:
    ~HostControl() override;

    // The control's window, for laying out, showing, hiding and raising.
    virtual QWidget* hWnd() const = 0;
};

}  // namespace orvex
