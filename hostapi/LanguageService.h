#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "VariantArray.h"

namespace orvex {

// The host's translation of language literals ("20180::mmHg"): the user's text for the number,
// with %%1, %%2, ... filled from the parameters.
class ORVEX_HOSTAPI_EXPORT LanguageService : public virtual IUnknown {
public:
    ~LanguageService() override;
    virtual QString GetText(const QString& plugInId, const QString& literal, const VariantArray& parameters) = 0;
};

}  // namespace orvex
