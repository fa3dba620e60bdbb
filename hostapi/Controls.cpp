// Control key functions live here so that vtables and type information are emitted once, in this library.

#include "ControlCallBack.h"
#include "HostControl.h"
#include "LimitView.h"
#include "XHelpText.h"
#include "XTestGuideSettings.h"
#include "XTestWizard.h"
#include "XTgButton.h"
#include "XTgContentPane.h"
#include "XTgProgressBar.h"
#include "XTgStatusIndicator.h"
#include "XTgToolbar.h"

namespace orvex {

ControlCallBack::~ControlCallBack() = default;
HostControl::~HostControl() = default;
LimitView::~LimitView() = default;
XHelpText::~XHelpText() = default;
XTestGuideSettings::~XTestGuideSettings() = default;
XTestWizard::~XTestWizard() = default;
XTgButton::~XTgButton() = default;
XTgContentPane::~XTgContentPane() = default;
XTgProgressBar::~XTgProgressBar() = default;
XTgStatusIndicator::~XTgStatusIndicator() = default;
XTgToolbar::~XTgToolbar() = default;

}  // namespace orvex
