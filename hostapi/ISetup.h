#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"

namespace orvex {

// A plug-in's settings as the host stores them: an opaque blob, and values in the registry.
class ORVEX_HOSTAPI_EXPORT ISetup : public virtual IUnknown {
public:
    ~ISetup() override;

    virtual bool HasDialog() = 0;
    // The embedded view that edits the settings (an ICustomControl), or none.
    virtual std::shared_ptr<IUnknown> CreateDialog() = 0;
    virtual QByteArray Settings() = 0;
    virtual void SetSettings(const QByteArray& settings) = 0;
    virtual void RegLoad(int32_t hive, const QString& key) = 0;
    virtual void RegSave(int32_t hive, const QString& key) = 0;
};

}  // namespace orvex
