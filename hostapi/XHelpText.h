#pragma once

#include <QString>

#include "HostApiExport.h"
#include "HostControl.h"

namespace orvex {

// The host's help text ("OrvexView.XHelpText"): a hint shown beside a view's settings.
class ORVEX_HOSTAPI_EXPORT XHelpText : public HostControl {
public:
    ~XHelpText() override;

    virtual QString Text() const = 0;
    // Shown as plain text, wrapped to the control's width.
    virtual void SetText(const QString& text) = 0;
};

}  // namespace orvex
