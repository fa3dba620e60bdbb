#pragma once

#include <memory>

#include "Application.h"
#include "ErrorService.h"
#include "HostApiExport.h"
#include "InstrumentRegistry.h"
#include "LanguageService.h"
#include "MessageService.h"
#include "PortTable.h"
#include "TestGuideService.h"
#include "ValueElements.h"
#include "ValueFormatter.h"
#include "XmlDocumentFactory.h"

namespace orvex {

// Where the plug-in and the driver find the services of the host that loaded them. The host
// installs its services at start-up; a service that is not installed raises "Object required".
class ORVEX_HOSTAPI_EXPORT HostServices {
public:
    static void SetLanguage(std::shared_ptr<LanguageService> service);
    static void SetMessages(std::shared_ptr<MessageService> service);
    static void SetPorts(std::shared_ptr<PortTable> service);
    static void SetInstruments(std::shared_ptr<InstrumentRegistry> service);
    static void SetErrors(std::shared_ptr<ErrorService> service);
    static void SetXml(std::shared_ptr<XmlDocumentFactory> service);
    static void SetApplication(std::shared_ptr<orvex::Application> service);
    static void SetTestGuide(std::shared_ptr<TestGuideService> service);
    static void SetValues(std::shared_ptr<ValueFormatter> service);
    static void SetValueElements(std::shared_ptr<orvex::ValueElements> service);

    static std::shared_ptr<LanguageService> Language();
    static std::shared_ptr<MessageService> Messages();
    static std::shared_ptr<PortTable> Ports();
    static std::shared_ptr<InstrumentRegistry> Instruments();
    static std::shared_ptr<ErrorService> Errors();
    static std::shared_ptr<XmlDocumentFactory> Xml();
    static std::shared_ptr<orvex::Application> Application();
    static std::shared_ptr<TestGuideService> TestGuide();
    static std::shared_ptr<ValueFormatter> Values();
    static std::shared_ptr<orvex::ValueElements> ValueElements();
};

}  // namespace orvex
