#pragma once

#include <QList>
#include <QStringList>
#include <memory>

#include "host/platform/HostExport.h"
#include "hostapi/PerformContext.h"

namespace orvex {

// The context of one run of a sequence: it answers whether a test is to be performed, lends the
// run's instruments and standards, and records what the tests asked of it (navigation, stored
// results) for the sequence runner.
class ORVEX_HOST_EXPORT HostPerformContext : public PerformContext {
public:
    explicit HostPerformContext(bool withInstruments = true);

    // True unless the run was aborted or told otherwise; the element asking is the one whose
    // limits Standards() then reads.
    bool QueryPerform(const std::shared_ptr<ITestElement>& element) override;
    // Raises 5 for anything but next, previous or abort.
    void Navigate(int32_t action) override;
    bool HasInstruments() const override;
    QList<std::shared_ptr<InstrumentData>> Instruments() const override;
    // Records the instrument with the index it was given; one without an index (none above 0) is
    // numbered among those of its name, from 1. Raises 424 when the context has no instrument list.
    void AddInstrument(const std::shared_ptr<InstrumentData>& instrument) override;
    // Copies of the standards of the performed element's limits, only those named in the selection
    // when there is one; none before an element was queried.
    std::shared_ptr<StandardList> Standards() const override;
    void StoreResult(const std::shared_ptr<ITestElement>& element) override;

    void SetPerformAnswer(bool perform) { m_perform = perform; }
    // Alpha or complete names of the standards the run judges against; empty for all.
    void SetStandardSelection(const QStringList& names) { m_standardNames = names; }
    bool Aborted() const { return m_aborted; }
    const QList<int32_t>& Navigations() const { return m_navigations; }
    const QList<std::shared_ptr<ITestElement>>& StoredResults() const { return m_stored; }

private:
    bool Selected(const std::shared_ptr<Standard>& standard) const;

    bool m_perform = true;
    bool m_aborted = false;
    bool m_withInstruments;
    std::weak_ptr<ITestElement> m_element;
    QStringList m_standardNames;
    QList<std::shared_ptr<InstrumentData>> m_instruments;
    QList<int32_t> m_navigations;
    QList<std::shared_ptr<ITestElement>> m_stored;
};

}  // namespace orvex
