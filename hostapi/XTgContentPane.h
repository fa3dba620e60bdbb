#pragma once

#include <memory>

#include "HostApiExport.h"
#include "HostControl.h"

class QWidget;

namespace orvex {

class ITestElement;
class PerformContext;

// The content pane of the test guide window ("OrvexTGCL2.XTgContentPane"): the test's title above
// the details view and the result view. The views are widget objects the pane shares with the
// window; setting one replaces (and gives back) the one shown before. An object that is no widget
// raises "Type mismatch" (13) and changes nothing.
class ORVEX_HOSTAPI_EXPORT XTgContentPane : public HostControl {
public:
    ~XTgContentPane() override;

    virtual std::shared_ptr<IUnknown> DetailsView() const = 0;
    virtual void SetDetailsView(std::shared_ptr<IUnknown> view) = 0;
    virtual std::shared_ptr<IUnknown> ResultView() const = 0;
    virtual void SetResultView(std::shared_ptr<IUnknown> view) = 0;
    // The test shown: the pane's title names it. Neither is kept beyond the call.
    virtual void SetTestElement(const std::shared_ptr<ITestElement>& element,
                                const std::shared_ptr<PerformContext>& context) = 0;
    // The window the pane lives in; its caption becomes the pane's title when the test has no
    // name of its own. The window is not owned.
    virtual void SetTestGuide(QWidget* guide) = 0;
};

}  // namespace orvex
