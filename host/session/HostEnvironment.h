#pragma once

#include <memory>

#include "host/platform/HostApplication.h"
#include "host/platform/HostErrorService.h"
#include "host/platform/HostExport.h"
#include "host/platform/HostInstrumentRegistry.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/platform/HostPortTable.h"
#include "host/platform/HostTestGuideService.h"
#include "host/platform/HostValueFormatter.h"
#include "host/xml/HostValueElements.h"
#include "host/xml/HostXmlDocumentFactory.h"

namespace orvex {

// Every host service, created and installed where plug-ins and drivers find them, with the
// host's creatable classes registered. One environment at a time: it takes the services away
// again when it ends.
class ORVEX_HOST_EXPORT HostEnvironment {
public:
    explicit HostEnvironment(HostMessageService::Mode messageMode);
    ~HostEnvironment();
    HostEnvironment(const HostEnvironment&) = delete;
    HostEnvironment& operator=(const HostEnvironment&) = delete;

    const std::shared_ptr<HostLanguageService>& Language() const { return m_language; }
    // The host's texts and Qt's own in the language of that name, and its numbers as the default
    // locale; what could not be loaded, as warnings (the texts then stay in English).
    QStringList ChooseLanguage(const QString& language);
    const std::shared_ptr<HostMessageService>& Messages() const { return m_messages; }
    const std::shared_ptr<HostPortTable>& Ports() const { return m_ports; }
    const std::shared_ptr<HostInstrumentRegistry>& Instruments() const { return m_instruments; }
    const std::shared_ptr<HostErrorService>& Errors() const { return m_errors; }
    const std::shared_ptr<HostXmlDocumentFactory>& Xml() const { return m_xml; }
    const std::shared_ptr<HostApplication>& Application() const { return m_application; }
    const std::shared_ptr<HostTestGuideService>& TestGuide() const { return m_testGuide; }
    const std::shared_ptr<HostValueFormatter>& Values() const { return m_values; }
    const std::shared_ptr<HostValueElements>& ValueElements() const { return m_valueElements; }
    HostPlugInLoader& Loader() { return m_loader; }

private:
    std::shared_ptr<HostLanguageService> m_language;
    std::shared_ptr<HostMessageService> m_messages;
    std::shared_ptr<HostPortTable> m_ports;
    std::shared_ptr<HostInstrumentRegistry> m_instruments;
    std::shared_ptr<HostErrorService> m_errors;
    std::shared_ptr<HostXmlDocumentFactory> m_xml;
    std::shared_ptr<HostApplication> m_application;
    std::shared_ptr<HostTestGuideService> m_testGuide;
    std::shared_ptr<HostValueFormatter> m_values;
    std::shared_ptr<HostValueElements> m_valueElements;
    HostPlugInLoader m_loader;
    std::unique_ptr<QTranslator> m_qtTexts;
};

}  // namespace orvex
