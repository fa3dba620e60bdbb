#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "VariantArray.h"

class QWidget;

namespace orvex {

// The host's translation of language literals (20180::mmHg): the user's text for the number,
// with %%1, %%2, ... filled from the parameters.
class ORVEX_HOSTAPI_EXPORT LanguageService : public virtual IUnknown {
public:
    ~LanguageService() override;
    virtual QString GetText(const QString& plugInId, const QString& literal,
                            const VariantArray& parameters) = 0;
    // Translates the captions (window title, labels, buttons, tool tips, ...) of a window or view
    // and of everything inside it: a caption set at design time is a language literal.
    virtual void TranslateControls(const QString& plugInId, QWidget* root) = 0;
    virtual void TranslateToolbar(const QString& plugInId, QWidget* toolbar) = 0;
};

}  // namespace orvex
