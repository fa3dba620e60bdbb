#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The calculation of a limit entry: a position's limit from the preset value X of the measurement
// it judges and the number Y entered for the position, by the position's operation. "Y" (or no
// operation) is Y itself, "X+Y" the preset plus Y, "X+(X*Y%)" the preset plus Y percent of it.
// Asked for with std::dynamic_pointer_cast on a LimitEntry. Every host limit entry offers it, an
// operation without X simply giving Y, so a caller needs no test of the operation text.
class ORVEX_HOSTAPI_EXPORT CalculatedLimit : public virtual IUnknown {
public:
    static inline const QString kPlain = QStringLiteral("Y");
    static inline const QString kOffset = QStringLiteral("X+Y");
    static inline const QString kPercentOffset = QStringLiteral("X+(X*Y%)");

    ~CalculatedLimit() override;

    // Raises "Subscript out of range" (9) for a position outside 0..1, "Invalid procedure call" (5)
    // for an operation it does not know and "Overflow" (6) for a limit beyond single precision.
    virtual float Calculate(float x, int32_t position) const = 0;
};

}  // namespace orvex
