#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The texts a test element shows in the host's lists (translated when they are set).
class ORVEX_HOSTAPI_EXPORT TestElementInfo : public virtual IUnknown {
public:
    ~TestElementInfo() override;

    virtual QString Type() const = 0;
    virtual QString Parameter() const = 0;
    virtual QString Description() const = 0;
    virtual QString Name() const = 0;
    virtual void SetType(const QString& type, const QString& parameter) = 0;
    virtual void SetDescription(const QString& description) = 0;
    virtual void SetName(const QString& name) = 0;
};

}  // namespace orvex
