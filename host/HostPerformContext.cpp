#include "HostPerformContext.h"

#include "hostapi/ComError.h"

namespace orvex {

HostPerformContext::HostPerformContext(bool withInstruments) : m_withInstruments(withInstruments) {}

bool HostPerformContext::QueryPerform(const std::shared_ptr<ITestElement>& /*element*/) { return m_perform; }

void HostPerformContext::Navigate(int32_t action) { m_navigations.append(action); }

bool HostPerformContext::HasInstruments() const { return m_withInstruments; }

QList<std::shared_ptr<InstrumentData>> HostPerformContext::Instruments() const { return m_instruments; }

void HostPerformContext::AddInstrument(const std::shared_ptr<InstrumentData>& instrument) {
    if (!m_withInstruments || !instrument) {
        throw ComError(ComError::kObjectRequired, QStringLiteral("OrvexTypeLib.PerformContext"),
                       QStringLiteral("Object required: %1")
                           .arg(instrument ? QStringLiteral("the run has no instrument list")
                                           : QStringLiteral("no instrument to add")));
    }
    m_instruments.append(instrument);
}

std::shared_ptr<StandardList> HostPerformContext::Standards() const { return nullptr; }

void HostPerformContext::StoreResult(const std::shared_ptr<ITestElement>& element) {
    m_stored.append(element);
}

}  // namespace orvex
