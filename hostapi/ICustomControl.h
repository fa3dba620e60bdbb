#pragma once

#include <memory>

#include "ControlCallBack.h"
#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

class QWidget;

namespace orvex {

// An embedded view the host can dock into its own windows. Views are widgets: the holder of the
// view's shared_ptr owns it, and a Qt parent never outlives that holder.
class ORVEX_HOSTAPI_EXPORT ICustomControl : public virtual IUnknown {
public:
    ~ICustomControl() override;

    virtual std::shared_ptr<ControlCallBack> CallBack() const = 0;
    virtual void SetCallBack(std::shared_ptr<ControlCallBack> callBack) = 0;
    virtual QWidget* hWnd() const = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Locked() const = 0;
    virtual void SetLocked(bool locked) = 0;
    virtual void Initialize(const Variant& data) = 0;
    virtual void Refresh() = 0;
    virtual void SetFocus() = 0;
};

}  // namespace orvex
