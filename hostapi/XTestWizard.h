#pragma once

#include "HostApiExport.h"
#include "HostControl.h"
#include "Variant.h"

namespace orvex {

// The host's step list ("OrvexView.XTestWizard"): the numbered instructions of a test with the
// current ones marked. Steps are numbered from 1 in the order they were loaded.
class ORVEX_HOSTAPI_EXPORT XTestWizard : public HostControl {
public:
    ~XTestWizard() override;

    // steps: an array of step texts; anything else leaves the list empty. Replaces the steps and
    // their marks.
    virtual void LoadSteps(const Variant& steps) = 0;
    // Removes every mark. fromStart also brings the first step back into view, as for a test
    // that has not begun.
    virtual void ClearMarks(bool fromStart) = 0;
    // steps: an array of step numbers (or one number); exactly those steps are marked afterwards.
    // Numbers that name no step, and elements that are no number, mark nothing.
    virtual void MarkSteps(const Variant& steps) = 0;
};

}  // namespace orvex
