#pragma once

#include <QLocale>
#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

// The host's value-to-text service: how every number written into a file or shown to the user
// gets its text, so that all of them read alike.
class ORVEX_HOSTAPI_EXPORT ValueFormatter : public virtual IUnknown {
public:
    ~ValueFormatter() override;
    // The value in a number format ("0", "0.0", "0.00": that many decimals, "." as decimal point,
    // halves away from zero); an empty format gives the value's plain text. A value that is not
    // numeric gives its text; Null and Empty give an empty text.
    virtual QString Format(const Variant& value, const QString& format) = 0;
    // The value as a person must read it to see why it was judged as it was: at least the format's
    // decimals, more when the value holds more (up to five significant digits: 3.4 where "0" would
    // show 3, 0.05801 where "0.00" would show 0.06), with the locale's decimal separator. For
    // display only; files take Format.
    virtual QString FormatShown(const Variant& value, const QString& format, const QLocale& locale) = 0;
};

}  // namespace orvex
