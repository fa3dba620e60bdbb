// Host object key functions live here so that vtables and type information are emitted once, in this library.

#include "CalculatedLimit.h"
#include "InstrumentData.h"
#include "LimitEntry.h"
#include "LoadLog.h"
#include "PerformContext.h"
#include "PrintJob.h"
#include "Registry.h"
#include "ReportContext.h"
#include "ServiceRecord.h"
#include "Standard.h"
#include "StandardList.h"
#include "TestElementBase.h"
#include "TestElementFilter.h"
#include "TestElementInfo.h"
#include "TestElementList.h"
#include "TestGuideSettings.h"
#include "XmlDocument.h"
#include "XmlElement.h"

namespace orvex {

CalculatedLimit::~CalculatedLimit() = default;
InstrumentData::~InstrumentData() = default;
LimitEntry::~LimitEntry() = default;
LoadLog::~LoadLog() = default;
PerformContext::~PerformContext() = default;
PrintJob::~PrintJob() = default;
Registry::~Registry() = default;
ReportContext::~ReportContext() = default;
ServiceRecord::~ServiceRecord() = default;
Standard::~Standard() = default;
StandardList::~StandardList() = default;
TestElementBase::~TestElementBase() = default;
TestElementFilter::~TestElementFilter() = default;
TestElementInfo::~TestElementInfo() = default;
TestElementList::~TestElementList() = default;
TestGuideSettings::~TestGuideSettings() = default;
XmlDocument::~XmlDocument() = default;
XmlElement::~XmlElement() = default;

}  // namespace orvex
