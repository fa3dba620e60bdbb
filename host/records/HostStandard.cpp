#include "HostStandard.h"

#include "hostapi/CalculatedLimit.h"
#include "hostapi/ComError.h"
#include "hostapi/LimitEntry.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.Standard");

// A position's limit for the preset x: computed when the entry can, else the stored number.
float LimitAt(const LimitEntry& entry, int32_t position, float x) {
    if (const auto* calculated = dynamic_cast<const CalculatedLimit*>(&entry)) {
        return calculated->Calculate(x, position);
    }
    return entry.Value(position);
}

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

std::shared_ptr<Standard> HostStandard::Clone() const {
    auto copy = std::make_shared<HostStandard>();
    copy->Initialize(m_alphaName, m_completeName, m_number);
    for (const auto& entry : m_entries) copy->Add(entry->Clone());
    return copy;
}

int32_t HostStandard::Evaluate(const QString& key, float value, const Variant& preset) const {
    const float x = preset.IsEmpty() || preset.IsNull() ? 0.0F : preset.ToSingle();
    for (const auto& entry : m_entries) {
        if (entry->Key() != key) continue;
        if (entry->Enabled(LimitEntry::kHigh) && value > LimitAt(*entry, LimitEntry::kHigh, x)) return 2;
        if (entry->Enabled(LimitEntry::kLow) && value < LimitAt(*entry, LimitEntry::kLow, x)) return 2;
    }
    return 0;
}

}  // namespace orvex
