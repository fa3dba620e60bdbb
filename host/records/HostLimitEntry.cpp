#include "HostLimitEntry.h"

#include <cfloat>
#include <cmath>
#include <memory>

#include "hostapi/ComError.h"

namespace orvex {

namespace {

const QString kSource = QStringLiteral("OrvexTypeLib.LimitEntry");

}  // namespace

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

std::shared_ptr<LimitEntry> HostLimitEntry::Clone() const { return std::make_shared<HostLimitEntry>(*this); }

float HostLimitEntry::Calculate(float x, int32_t position) const {
    const Position& at = At(position);
    // In double: the sum and the percentage of two singles cannot overflow on the way.
    const double y = at.value;
    double limit = 0.0;
    if (at.operation.isEmpty() || at.operation == kPlain) {
        limit = y;
    } else if (at.operation == kOffset) {
        limit = x + y;
    } else if (at.operation == kPercentOffset) {
        limit = x + x * y / 100.0;
    } else {
        throw ComError(
            ComError::kInvalidProcedureCall, kSource,
            QStringLiteral("Invalid procedure call: unknown limit operation \"%1\"").arg(at.operation));
    }
    if (!std::isfinite(limit) || std::fabs(limit) > FLT_MAX) {
        throw ComError(ComError::kOverflow, kSource,
                       QStringLiteral("Overflow: limit of %1 for X = %2").arg(m_key).arg(x));
    }
    return static_cast<float>(limit);
}

const HostLimitEntry::Position& HostLimitEntry::At(int32_t position) const {
    if (position != kHigh && position != kLow) {
        throw ComError(ComError::kSubscriptOutOfRange, kSource,
                       QStringLiteral("Subscript out of range: limit position %1").arg(position));
    }
    return m_positions[static_cast<size_t>(position)];
}

HostLimitEntry::Position& HostLimitEntry::At(int32_t position) {
    return const_cast<Position&>(static_cast<const HostLimitEntry*>(this)->At(position));
}

}  // namespace orvex
