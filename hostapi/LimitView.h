#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The host's limit editor as a plug-in fills it: one row per measurement key. The control is an
// ICustomControl too; its widget can be asked for this interface.
class ORVEX_HOSTAPI_EXPORT LimitView : public virtual IUnknown {
public:
    ~LimitView() override;

    // units: the selectable units, separated by ";". choices: either the units a limit number
    // may be entered in (";"-separated, "%" among them) or the limit operations enclosed in
    // "<op>" and "</op>" ("<op>Y;X+Y;X+(X*Y%)</op>").
    virtual void AddLimit(const QString& key, const QString& description, const QString& units,
                          const QString& choices) = 0;
};

}  // namespace orvex
