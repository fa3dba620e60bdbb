#include "VariantArray.h"

#include <limits>
#include <utility>

#include "ComError.h"

namespace orvex {

namespace {

// Arrays are read from files and received from peers: one array may not hold more than this.
constexpr int64_t kMaxElements = 1 << 20;

[[noreturn]] void RaiseSubscriptOutOfRange() {
    throw ComError(ComError::kSubscriptOutOfRange, QStringLiteral("orvex.Variant"),
                   QStringLiteral("Subscript out of range"));
}

[[noreturn]] void RaiseOutOfMemory() {
    throw ComError(ComError::kOutOfMemory, QStringLiteral("orvex.Variant"), QStringLiteral("Out of memory"));
}

// Elements of a dimension from lower to upper; upper = lower - 1 is an empty dimension. Both bounds
// must be 32-bit values so that UBound can always be given.
int32_t DimensionCount(int32_t lower, int64_t upper) {
    const int64_t count = upper - lower + 1;
    if (count < 0 || upper < std::numeric_limits<int32_t>::min() ||
        upper > std::numeric_limits<int32_t>::max()) {
        RaiseSubscriptOutOfRange();
    }
    if (count > kMaxElements) {
        RaiseOutOfMemory();
    }
    return static_cast<int32_t>(count);
}

int64_t OffsetInDimension(int32_t lower, int32_t count, int32_t index) {
    const int64_t offset = int64_t{index} - lower;
    if (offset < 0 || offset >= count) {
        RaiseSubscriptOutOfRange();
    }
    return offset;
}

}  // namespace

VariantArray::VariantArray() = default;

VariantArray::VariantArray(int32_t lowerBound, int32_t upperBound)
    : m_lower{lowerBound, 0},
      m_count{DimensionCount(lowerBound, upperBound), 1},
      m_items(static_cast<size_t>(m_count[0])) {}

VariantArray::VariantArray(int32_t lower1, int32_t upper1, int32_t lower2, int32_t upper2)
    : m_dims(2),
      m_lower{lower1, lower2},
      m_count{DimensionCount(lower1, upper1), DimensionCount(lower2, upper2)} {
    const int64_t total = int64_t{m_count[0]} * m_count[1];
    if (total > kMaxElements) {
        RaiseOutOfMemory();
    }
    m_items.resize(static_cast<size_t>(total));
}

VariantArray VariantArray::FromList(std::vector<Variant> values, int32_t lowerBound) {
    if (values.size() > static_cast<size_t>(kMaxElements)) {
        RaiseOutOfMemory();
    }
    VariantArray array;
    array.m_lower[0] = lowerBound;
    array.m_count[0] =
        DimensionCount(lowerBound, int64_t{lowerBound} + static_cast<int64_t>(values.size()) - 1);
    array.m_items = std::move(values);
    return array;
}

VariantArray::VariantArray(VariantArray&& other) noexcept : VariantArray() { Swap(other); }

VariantArray& VariantArray::operator=(const VariantArray& other) {
    VariantArray copy(other);
    Swap(copy);
    return *this;
}

VariantArray& VariantArray::operator=(VariantArray&& other) noexcept {
    // Take other's elements before ours go: other may live inside one of them.
    VariantArray taken(std::move(other));
    Swap(taken);
    return *this;
}

void VariantArray::Swap(VariantArray& other) noexcept {
    std::swap(m_dims, other.m_dims);
    std::swap(m_lower, other.m_lower);
    std::swap(m_count, other.m_count);
    m_items.swap(other.m_items);
}

int32_t VariantArray::LBound(int dimension) const {
    if (dimension < 1 || dimension > m_dims) {
        RaiseSubscriptOutOfRange();
    }
    return m_lower[dimension - 1];
}

int32_t VariantArray::UBound(int dimension) const {
    return static_cast<int32_t>(int64_t{LBound(dimension)} + m_count[dimension - 1] - 1);
}

const Variant& VariantArray::At(int32_t index) const {
    if (m_dims != 1) {
        RaiseSubscriptOutOfRange();
    }
    return m_items[static_cast<size_t>(OffsetInDimension(m_lower[0], m_count[0], index))];
}

Variant& VariantArray::At(int32_t index) { return const_cast<Variant&>(std::as_const(*this).At(index)); }

const Variant& VariantArray::At(int32_t index1, int32_t index2) const {
    if (m_dims != 2) {
        RaiseSubscriptOutOfRange();
    }
    const int64_t offset = OffsetInDimension(m_lower[0], m_count[0], index1) * m_count[1] +
                           OffsetInDimension(m_lower[1], m_count[1], index2);
    return m_items[static_cast<size_t>(offset)];
}

Variant& VariantArray::At(int32_t index1, int32_t index2) {
    return const_cast<Variant&>(std::as_const(*this).At(index1, index2));
}

void VariantArray::Resize(int32_t upperBound) {
    if (m_dims != 1) {
        RaiseSubscriptOutOfRange();
    }
    const int32_t count = DimensionCount(m_lower[0], upperBound);
    m_items.resize(static_cast<size_t>(count));
    m_count[0] = count;
}

}  // namespace orvex
