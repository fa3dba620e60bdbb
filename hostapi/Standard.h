#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "HostTypes.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

// One named set of limits: an alpha name (short, "IEC"), a complete name and its limit entries
// in the order they were added.
class ORVEX_HOSTAPI_EXPORT Standard : public virtual IUnknown {
public:
    ~Standard() override;

    virtual void Initialize(const QString& alphaName, const QString& completeName, int32_t number) = 0;
    virtual QString AlphaName() const = 0;
    virtual QString CompleteName() const = 0;
    virtual int32_t Number() const = 0;

    // Raises "Object required" for no entry.
    virtual void Add(const std::shared_ptr<LimitEntry>& entry) = 0;
    virtual int32_t Count() const = 0;
    // The entry at a 1-based position; "Subscript out of range" outside 1..Count.
    virtual std::shared_ptr<LimitEntry> Item(int32_t index) const = 0;

    // A copy with copies of the entries.
    virtual std::shared_ptr<Standard> Clone() const = 0;

    // Judges a value of the key: 2 when it lies beyond an enabled position of an entry of that key
    // (above the high or below the low limit, both bounds inclusive), otherwise 0. Calculated limits
    // take X from the preset (a number, or text that reads as one; Empty and Null count as 0). An
    // entry that cannot be judged (an operation the host does not know) raises its error.
    virtual int32_t Evaluate(const QString& key, float value, const Variant& preset) const = 0;
};

}  // namespace orvex
