// Service key functions live here so that vtables and type information are emitted once, in this library.

#include "Application.h"
#include "ErrorService.h"
#include "InstrumentRegistry.h"
#include "LanguageService.h"
#include "MessageService.h"
#include "PortTable.h"
#include "TestGuideService.h"
#include "ValueElements.h"
#include "ValueFormatter.h"
#include "XmlDocumentFactory.h"

namespace orvex {

Application::~Application() = default;
ErrorService::~ErrorService() = default;
InstrumentRegistry::~InstrumentRegistry() = default;
LanguageService::~LanguageService() = default;
MessageService::~MessageService() = default;
PortTable::~PortTable() = default;
TestGuideService::~TestGuideService() = default;
ValueElements::~ValueElements() = default;
ValueFormatter::~ValueFormatter() = default;
XmlDocumentFactory::~XmlDocumentFactory() = default;

}  // namespace orvex
