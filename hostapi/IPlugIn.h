#pragma once

#include <QPixmap>
#include <QString>
#include <cstdint>
#include <memory>

#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

namespace orvex {

class ISetup;
class ITestElement;
class TestElementList;

// The object the host creates when it loads a plug-in library.
class ORVEX_HOSTAPI_EXPORT IPlugIn : public virtual IUnknown {
public:
    ~IPlugIn() override;

    virtual QString ID() = 0;
    // Size 0 is 16x16, 1 is 32x16, 2 is 32x32; a null pixmap when there is no picture.
    virtual QPixmap Icon(int32_t testId, int32_t size, const Variant& unused) = 0;
    virtual QString Name() = 0;
    virtual int32_t Flags() = 0;
    virtual std::shared_ptr<ISetup> Setup() = 0;
    virtual std::shared_ptr<IUnknown> ControlPanel() = 0;
    virtual std::shared_ptr<TestElementList> Tests() = 0;
    virtual QString Version() = 0;
    virtual std::shared_ptr<IUnknown> PlugInMenu() = 0;
    virtual void Initialize(const std::shared_ptr<IUnknown>& host) = 0;
    virtual std::shared_ptr<ITestElement> CreateTest(int32_t testId) = 0;
    virtual std::shared_ptr<IUnknown> CreateDUTData() = 0;
};

}  // namespace orvex
