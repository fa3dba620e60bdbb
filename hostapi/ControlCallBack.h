#pragma once

#include <QString>
#include <functional>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "VariantArray.h"

namespace orvex {

// The host's call-back object of an embedded view: the view reports its events through it
// ("Change" after every edit), and whoever listens (the host, a dialog wrapper) hears them.
class ORVEX_HOSTAPI_EXPORT ControlCallBack : public virtual IUnknown {
public:
    using Listener = std::function<void(QString& eventName, VariantArray& parameters)>;

    ~ControlCallBack() override;

    virtual void Event(QString& eventName, VariantArray& parameters) = 0;
    // Returns a number for RemoveListener.
    virtual int AddListener(Listener listener) = 0;
    virtual void RemoveListener(int id) = 0;
};

}  // namespace orvex
