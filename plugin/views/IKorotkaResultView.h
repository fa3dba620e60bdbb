#pragma once

#include <QString>
#include <memory>

#include "hostapi/IUnknown.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ILimitData;
class IResultData;
}  // namespace orvex

namespace korotka {

// The plug-in's own view of its two result views, through which the test guide window drives
// them. The views raise their events ("EnableNextButton", "KeyPress", "StandardSelected",
// "MouseDown") through their host call-back object.
class KOROTKA_PLUGIN_EXPORT IKorotkaResultView : public virtual orvex::IUnknown {
public:
    ~IKorotkaResultView() override;

    virtual QString Tag() const = 0;
    virtual void SetTag(const QString& tag) = 0;
    // Keeps the limit data's standard list for ShowStandard.
    virtual void Limits(const std::shared_ptr<orvex::ILimitData>& limits) = 0;
    // Removes all rows.
    virtual void Clear() = 0;
    // Fills the limit columns for one standard of the kept list; flag: evaluate calculated limits.
    virtual void ShowStandard(const QString& sAlphaName, const QString& sCompleteName, bool flag) = 0;
    virtual void ShowTestResult(const std::shared_ptr<orvex::IResultData>& result) = 0;
    virtual void StartEditing() = 0;
    virtual void StopEditing() = 0;
    virtual void StoreConfiguration(const std::shared_ptr<orvex::IUnknown>& configuration) = 0;
};

}  // namespace korotka
