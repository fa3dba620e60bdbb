#pragma once

#include <map>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/ControlCallBack.h"

namespace orvex {

// Hands a view's events to every listener, in the order they were added. A listener may add or
// remove listeners, itself included, while it is called: one removed is not called any more,
// one added hears the next event.
class ORVEX_HOST_EXPORT HostControlCallBack : public ControlCallBack {
public:
    void Event(QString& eventName, VariantArray& parameters) override;
    // Raises 5 for an empty listener.
    int AddListener(Listener listener) override;
    void RemoveListener(int id) override;

private:
    std::map<int, std::shared_ptr<const Listener>> m_listeners;
    int m_nextId = 1;
};

}  // namespace orvex
