#pragma once

#include <QString>
#include <cstdint>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The status field of the test guide's tool bar: the verdict of the shown result and a line of
// text.
class ORVEX_HOSTAPI_EXPORT XTgStatusIndicator : public virtual IUnknown {
public:
    ~XTgStatusIndicator() override;

    // A result status: 0 none, 1 passed, 2 failed, 3 not completed; other values show as none.
    virtual int32_t Status() const = 0;
    virtual void SetStatus(int32_t status) = 0;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    // Two texts at once, shown one above the other (a standard's short and full name).
    virtual void SetTexts(const QString& first, const QString& second) = 0;
};

}  // namespace orvex
