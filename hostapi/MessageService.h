#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// Message boxes go through the host so that what the technician would have seen can be checked.
class ORVEX_HOSTAPI_EXPORT MessageService : public virtual IUnknown {
public:
    ~MessageService() override;
    enum class Icon { None, Information, Exclamation, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual Answer Show(const QString& text, Icon icon, Buttons buttons, const QString& title) = 0;
};

}  // namespace orvex
