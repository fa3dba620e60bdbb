#include "HostStandard.h"

#include "hostapi/ComError.h"
#include "hostapi/LimitEntry.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.Standard");

}  // namespace

void HostStandard::Initialize(const QString& alphaName, const QString& completeName, int32_t number) {
    m_alphaName = alphaName;
    m_completeName = completeName;
    m_number = number;
}

void HostStandard::Add(const std::shared_ptr<LimitEntry>& entry) {
    if (!entry) {
        throw ComError(ComError::kObjectRequired, kSource, QStringLiteral("Object required: no limit entry"));
    }
    m_entries.push_back(entry);
}

int32_t HostStandard::Count() const { return static_cast<int32_t>(m_entries.size()); }

std::shared_ptr<LimitEntry> HostStandard::Item(int32_t index) const {
    if (index < 1 || index > Count()) {
        throw ComError(
            ComError::kSubscriptOutOfRange, kSource,
            QStringLiteral("Subscript out of range: limit entry %1 of %2").arg(index).arg(Count()));
    }
    return m_entries[static_cast<size_t>(index - 1)];
}

}  // namespace orvex
