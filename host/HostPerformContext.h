#pragma once

#include <QList>
#include <memory>

#include "HostExport.h"
#include "hostapi/PerformContext.h"

namespace orvex {

// The context of one run of a sequence: it answers whether a test is to be performed and
// records what the tests asked of it (navigation, stored results).
class ORVEX_HOST_EXPORT HostPerformContext : public PerformContext {
public:
    explicit HostPerformContext(bool withInstruments = true);

    bool QueryPerform(const std::shared_ptr<ITestElement>& element) override;
    void Navigate(int32_t action) override;
    bool HasInstruments() const override;
    QList<std::shared_ptr<InstrumentData>> Instruments() const override;
    // Raises 424 when the context has no instrument list.
    void AddInstrument(const std::shared_ptr<InstrumentData>& instrument) override;
    // No standards are chosen for a run yet.
    std::shared_ptr<StandardList> Standards() const override;
    void StoreResult(const std::shared_ptr<ITestElement>& element) override;

    void SetPerformAnswer(bool perform) { m_perform = perform; }
    const QList<int32_t>& Navigations() const { return m_navigations; }
    const QList<std::shared_ptr<ITestElement>>& StoredResults() const { return m_stored; }

private:
    bool m_perform = true;
    bool m_withInstruments;
    QList<std::shared_ptr<InstrumentData>> m_instruments;
    QList<int32_t> m_navigations;
    QList<std::shared_ptr<ITestElement>> m_stored;
};

}  // namespace orvex
