#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// One limit of a standard: the limits a measurement key must keep. Position 0 is the high limit,
// position 1 the low limit; each has its number, whether it is checked, and the operation that
// turns the entered number into the limit ("Y", "X+Y", "X+(X*Y%)"). A position outside 0..1
// raises "Subscript out of range".
class ORVEX_HOSTAPI_EXPORT LimitEntry : public virtual IUnknown {
public:
    static constexpr int32_t kHigh = 0;
    static constexpr int32_t kLow = 1;
    // Type of an entry whose numbers are in its unit; the numbers of any other type carry no unit
    // and are never converted.
    static constexpr int32_t kTypeInUnit = 0;
    // Type of an entry whose numbers are percentages of the preset value.
    static constexpr int32_t kTypePercent = 1;

    ~LimitEntry() override;

    // A new entry for the key: both positions disabled at 0 without an operation, type 0.
    virtual void Initialize(const QString& key, const QString& unit, const QString& description,
                            const QString& comment) = 0;

    virtual QString Key() const = 0;
    virtual QString Unit() const = 0;
    virtual void SetUnit(const QString& unit) = 0;
    virtual QString Description() const = 0;
    virtual QString Comment() const = 0;
    virtual int32_t Type() const = 0;
    virtual void SetType(int32_t type) = 0;

    virtual float Value(int32_t position) const = 0;
    virtual void SetValue(int32_t position, float value) = 0;
    virtual bool Enabled(int32_t position) const = 0;
    virtual void SetEnabled(int32_t position, bool enabled) = 0;
    virtual QString Operation(int32_t position) const = 0;
    virtual void SetOperation(int32_t position, const QString& operation) = 0;

    virtual std::shared_ptr<LimitEntry> Clone() const = 0;
};

}  // namespace orvex
