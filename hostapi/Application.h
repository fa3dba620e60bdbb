#pragma once

#include <QString>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// The host application object and its path helper.
class ORVEX_HOSTAPI_EXPORT Application : public virtual IUnknown {
public:
    ~Application() override;

    // The folder the plug-in's library was loaded from.
    virtual QString PlugInFolder(const QString& plugInId) const = 0;
    virtual QString JoinPath(const QString& folder, const QString& name) const = 0;
    // The application's title, for message boxes.
    virtual QString Title() const = 0;
};

}  // namespace orvex
