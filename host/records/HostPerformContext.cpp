#include "HostPerformContext.h"

#include <algorithm>

#include "host/records/HostStandardList.h"
#include "hostapi/ComError.h"
#include "hostapi/ILimitData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.PerformContext");

}  // namespace

HostPerformContext::HostPerformContext(bool withInstruments) : m_withInstruments(withInstruments) {}

bool HostPerformContext::QueryPerform(const std::shared_ptr<ITestElement>& element) {
    m_element = element;
    return m_perform && !m_aborted;
}

void HostPerformContext::Navigate(int32_t action) {
    if (action != NavigateNext && action != NavigatePrevious && action != NavigateAbort) {
        throw ComError(ComError::kInvalidProcedureCall, kSource,
                       QStringLiteral("Invalid procedure call: navigation %1").arg(action));
    }
    if (action == NavigateAbort) m_aborted = true;
    m_navigations.append(action);
}

bool HostPerformContext::HasInstruments() const { return m_withInstruments; }

QList<std::shared_ptr<InstrumentData>> HostPerformContext::Instruments() const { return m_instruments; }

void HostPerformContext::AddInstrument(const std::shared_ptr<InstrumentData>& instrument) {
    if (!m_withInstruments || !instrument) {
        throw ComError(ComError::kObjectRequired, kSource,
                       QStringLiteral("Object required: %1")
                           .arg(instrument ? QStringLiteral("the run has no instrument list")
                                           : QStringLiteral("no instrument to add")));
    }
    // The element numbered the instrument, and its results name it by that number: a number the
    // host chose instead would leave them naming another instrument, or none.
    if (instrument->Index() <= 0) {
        const QString name = instrument->MTIName();
        const auto sameName = std::count_if(m_instruments.cbegin(), m_instruments.cend(),
                                            [&name](const auto& other) { return other->MTIName() == name; });
        instrument->SetIndex(static_cast<int32_t>(sameName) + 1);
    }
    m_instruments.append(instrument);
}

bool HostPerformContext::Selected(const std::shared_ptr<Standard>& standard) const {
    if (m_standardNames.isEmpty()) return true;
    return m_standardNames.contains(standard->AlphaName()) ||
           m_standardNames.contains(standard->CompleteName());
}

std::shared_ptr<StandardList> HostPerformContext::Standards() const {
    const auto element = m_element.lock();
    if (!element) return nullptr;
    auto chosen = std::make_shared<HostStandardList>();
    const auto limits = element->Limits();
    const auto standards = limits ? limits->Standards() : nullptr;
    if (!standards) return chosen;
    for (int32_t i = 1; i <= standards->Count(); ++i) {
        const auto standard = standards->Item(i);
        if (standard && Selected(standard)) chosen->Add(standard->Clone());
    }
    return chosen;
}

void HostPerformContext::StoreResult(const std::shared_ptr<ITestElement>& element) {
    if (!element) {
        throw ComError(ComError::kObjectRequired, kSource,
                       QStringLiteral("Object required: no test element"));
    }
    m_stored.append(element);
}

}  // namespace orvex
