#pragma once

#include <cstdint>
#include <vector>

#include "HostApiExport.h"
#include "Variant.h"

namespace orvex {

// A safe array of variants: one or two dimensions, each with its own lower bound.
// Indexing outside the bounds raises "Subscript out of range".
class ORVEX_HOSTAPI_EXPORT VariantArray {
public:
    VariantArray();  // one dimension, lower bound 0, no elements
    VariantArray(int32_t lowerBound, int32_t upperBound);
    VariantArray(int32_t lower1, int32_t upper1, int32_t lower2, int32_t upper2);
    static VariantArray FromList(std::vector<Variant> values, int32_t lowerBound = 0);

    // A moved-from array is empty; assignment is safe even from an element of this array.
    VariantArray(const VariantArray& other) = default;
    VariantArray(VariantArray&& other) noexcept;
    VariantArray& operator=(const VariantArray& other);
    VariantArray& operator=(VariantArray&& other) noexcept;

    int Dimensions() const { return m_dims; }
    int32_t LBound(int dimension = 1) const;
    int32_t UBound(int dimension = 1) const;
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    // Every element, in storage order, whatever the bounds.
    const std::vector<Variant>& Items() const { return m_items; }

    const Variant& At(int32_t index) const;
    Variant& At(int32_t index);
    const Variant& At(int32_t index1, int32_t index2) const;
    Variant& At(int32_t index1, int32_t index2);

    // ReDim Preserve of a one-dimensional array: keeps the lower bound and the elements that fit.
    void Resize(int32_t upperBound);

private:
    void Swap(VariantArray& other) noexcept;

    int m_dims = 1;
    int32_t m_lower[2] = {0, 0};
    int32_t m_count[2] = {0, 1};
    std::vector<Variant> m_items;
};

}  // namespace orvex
