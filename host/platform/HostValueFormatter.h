#pragma once

#include "host/platform/HostExport.h"
#include "hostapi/ValueFormatter.h"

namespace orvex {

// Numbers in fixed-decimal formats ("0", "0.0", "0.00", ... up to kMaxDecimals zeros after the
// point), "." as decimal point whatever the user's locale. Rounding works on the value's own
// decimal text (7 significant digits for a Single, 15 otherwise), so a Single 2.675 gives "2.68"
// as the number the user sees would, although its binary value lies just below.
class ORVEX_HOST_EXPORT HostValueFormatter : public ValueFormatter {
public:
    static constexpr int kMaxDecimals = 15;

    // Raises "Invalid procedure call" for any other non-empty format.
    QString Format(const Variant& value, const QString& format) override;
    QString FormatShown(const Variant& value, const QString& format, const QLocale& locale) override;
};

}  // namespace orvex
