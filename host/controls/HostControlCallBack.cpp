#include "HostControlCallBack.h"

#include <utility>
#include <vector>

#include "hostapi/ComError.h"

namespace orvex {

void HostControlCallBack::Event(QString& eventName, VariantArray& parameters) {
    // A copy, so that the map may change under the call; the shared_ptr keeps a listener that
    // removes itself alive until it returns.
    const std::vector<std::pair<const int, std::shared_ptr<const Listener>>> listeners(m_listeners.begin(),
                                                                                       m_listeners.end());
    for (const auto& [id, listener] : listeners) {
        if (m_listeners.count(id) != 0) (*listener)(eventName, parameters);
    }
}

int HostControlCallBack::AddListener(Listener listener) {
    if (!listener) {
        throw ComError(ComError::kInvalidProcedureCall, QStringLiteral("OrvexTypeLib.ControlCallBack"),
                       QStringLiteral("Invalid procedure call: no listener"));
    }
    const int id = m_nextId++;
    m_listeners.emplace(id, std::make_shared<const Listener>(std::move(listener)));
    return id;
}

void HostControlCallBack::RemoveListener(int id) { m_listeners.erase(id); }

}  // namespace orvex
