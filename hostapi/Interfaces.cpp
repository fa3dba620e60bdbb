// Interface key functions live here so that vtables and type information are emitted once, in this library.

#include "IConfigData.h"
#include "ICustomControl.h"
#include "IDialog.h"
#include "ILimitData.h"
#include "IMeasurement.h"
#include "IMeasurement2.h"
#include "IOrvexMLCQuery.h"
#include "IPlugIn.h"
#include "IResultData.h"
#include "ISetup.h"
#include "ITestElement.h"
#include "IUnknown.h"

namespace orvex {

IConfigData::~IConfigData() = default;
ICustomControl::~ICustomControl() = default;
IDialog::~IDialog() = default;
ILimitData::~ILimitData() = default;
IMeasurement::~IMeasurement() = default;
IMeasurement2::~IMeasurement2() = default;
IOrvexMLCQuery::~IOrvexMLCQuery() = default;
IPlugIn::~IPlugIn() = default;
IResultData::~IResultData() = default;
ISetup::~ISetup() = default;
ITestElement::~ITestElement() = default;
IUnknown::~IUnknown() = default;

}  // namespace orvex
