#pragma once

#include <cstdint>
#include <memory>

#include "ControlCallBack.h"
#include "HostApiExport.h"
#include "IUnknown.h"
#include "Variant.h"

class QWidget;

namespace orvex {

// A record's editing dialog as the host docks it into its own window. Positions are in twips.
class ORVEX_HOSTAPI_EXPORT IDialog : public virtual IUnknown {
public:
    ~IDialog() override;

    virtual std::shared_ptr<ControlCallBack> CallBack() const = 0;
    virtual void SetCallBack(std::shared_ptr<ControlCallBack> callBack) = 0;
    virtual bool IsDocked() const = 0;
    virtual bool Locked() const = 0;
    virtual void SetLocked(bool locked) = 0;
    virtual void Initialize(const Variant& data) = 0;
    virtual void Hide() = 0;
    virtual void Show() = 0;
    virtual void Dock(QWidget* parent) = 0;
    virtual void UnDock() = 0;
    virtual void Unload() = 0;
    virtual void Move(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
    virtual void Refresh() = 0;
    virtual void SetFocus() = 0;
};

}  // namespace orvex
