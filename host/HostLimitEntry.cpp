#include "HostLimitEntry.h"

#include "hostapi/ComError.h"

namespace orvex {

void HostLimitEntry::Initialize(const QString& key, const QString& unit, const QString& description,
                                const QString& comment) {
    m_key = key;
    m_unit = unit;
    m_description = description;
    m_comment = comment;
    m_type = kTypeInUnit;
    m_positions = {};
}

float HostLimitEntry::Value(int32_t position) const { return At(position).value; }
void HostLimitEntry::SetValue(int32_t position, float value) { At(position).value = value; }
bool HostLimitEntry::Enabled(int32_t position) const { return At(position).enabled; }
void HostLimitEntry::SetEnabled(int32_t position, bool enabled) { At(position).enabled = enabled; }
QString HostLimitEntry::Operation(int32_t position) const { return At(position).operation; }
void HostLimitEntry::SetOperation(int32_t position, const QString& operation) {
    At(position).operation = operation;
}

const HostLimitEntry::Position& HostLimitEntry::At(int32_t position) const {
    if (position != kHigh && position != kLow) {
        throw ComError(ComError::kSubscriptOutOfRange, QStringLiteral("OrvexTypeLib.LimitEntry"),
                       QStringLiteral("Subscript out of range: limit position %1").arg(position));
    }
    return m_positions[static_cast<size_t>(position)];
}

HostLimitEntry::Position& HostLimitEntry::At(int32_t position) {
    return const_cast<Position&>(static_cast<const HostLimitEntry*>(this)->At(position));
}

}  // namespace orvex
