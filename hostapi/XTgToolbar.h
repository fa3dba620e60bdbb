#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "HostApiExport.h"
#include "HostControl.h"

namespace orvex {

class ITestElement;
class PerformContext;
class XTgButton;
class XTgProgressBar;
class XTgStatusIndicator;

// The tool bar of the test guide window ("OrvexTGCL2.XTgToolbar"). Buttons are numbered by group
// (the hundreds). Every click is reported; the bar acts on none itself.
class ORVEX_HOSTAPI_EXPORT XTgToolbar : public HostControl {
public:
    // The buttons by number.
    enum Button : int32_t {
        kAbort = 101,
        kPrevious = 102,
        kNext = 103,
        kStop = 201,
        kStart = 202,
        kSkip = 301,
        kNotApplicable = 302,
        kHelp = 401,
        kComment = 402,
        kInformation = 501,
    };
    // Set-up bits of the groups shown: bit 0 the 1xx buttons up to bit 4 the 5xx buttons.
    static constexpr int32_t kNavigationGroup = 1;
    static constexpr int32_t kRunGroup = 2;
    static constexpr int32_t kChoiceGroup = 4;
    static constexpr int32_t kHelpGroup = 8;
    static constexpr int32_t kInformationGroup = 16;
    // Set-up bits of the indicators shown.
    static constexpr int32_t kStatusIndicator = 1;
    static constexpr int32_t kProgressIndicator = 2;

    // button: the button clicked. flag: the click came from the bar's "go on" key (F5) rather
    // than from the mouse or the button's own key.
    using ClickHandler = std::function<void(const std::shared_ptr<XTgButton>& button, bool flag)>;

    ~XTgToolbar() override;

    // Raises "Subscript out of range" (9) for a number the bar has no button for.
    virtual std::shared_ptr<XTgButton> Buttons(int32_t number) const = 0;
    virtual std::shared_ptr<XTgStatusIndicator> StatusIndicator() const = 0;
    virtual std::shared_ptr<XTgProgressBar> ProgressBar() const = 0;
    // Which button groups and which indicators the bar shows (bits above); other bits are ignored.
    virtual void Setup(int32_t groups, int32_t indicators) = 0;
    // The test shown: the information button's (kInformation) tool-tip describes it. Neither is kept
    // beyond the call.
    virtual void SetTestElement(const std::shared_ptr<ITestElement>& element,
                                const std::shared_ptr<PerformContext>& context) = 0;
    // The bar's menu of its shown and enabled buttons, at the mouse pointer.
    virtual void ShowContextMenu() = 0;
    // The ButtonClick event's listener; an empty handler stops listening.
    virtual void SetClickHandler(ClickHandler handler) = 0;
};

}  // namespace orvex
