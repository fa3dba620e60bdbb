#include "HostEnvironment.h"

#include "host/platform/HostInstallation.h"
#include "host/session/HostRegistration.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"

namespace orvex {

HostEnvironment::HostEnvironment(HostMessageService::Mode messageMode)
    : m_language(std::make_shared<HostLanguageService>()),
      m_messages(std::make_shared<HostMessageService>(messageMode)),
      m_ports(std::make_shared<HostPortTable>()),
      m_instruments(std::make_shared<HostInstrumentRegistry>()),
      m_errors(std::make_shared<HostErrorService>()),
      m_xml(std::make_shared<HostXmlDocumentFactory>()),
      m_application(std::make_shared<HostApplication>()),
      m_testGuide(std::make_shared<HostTestGuideService>(m_messages, m_application->Title())),
      m_values(std::make_shared<HostValueFormatter>()),
      m_valueElements(std::make_shared<HostValueElements>(m_values)),
      m_loader(m_application) {
    orvexhost_RegisterClasses(ComponentRegistry::Instance());
    HostServices::SetLanguage(m_language);
    HostServices::SetMessages(m_messages);
    HostServices::SetPorts(m_ports);
    HostServices::SetInstruments(m_instruments);
    HostServices::SetErrors(m_errors);
    HostServices::SetXml(m_xml);
    HostServices::SetApplication(m_application);
    HostServices::SetTestGuide(m_testGuide);
    HostServices::SetValues(m_values);
    HostServices::SetValueElements(m_valueElements);
}

HostEnvironment::~HostEnvironment() {
    HostServices::SetLanguage(nullptr);
    HostServices::SetMessages(nullptr);
    HostServices::SetPorts(nullptr);
    HostServices::SetInstruments(nullptr);
    HostServices::SetErrors(nullptr);
    HostServices::SetXml(nullptr);
    HostServices::SetApplication(nullptr);
    HostServices::SetTestGuide(nullptr);
    HostServices::SetValues(nullptr);
    HostServices::SetValueElements(nullptr);
}

QStringList HostEnvironment::ChooseLanguage(const QString& language) {
    QStringList warnings;
    QString error;
    if (!m_language->Load(HostLanguageService::kHostTexts, HostInstallation::TextsFolder(), language, &error))
        warnings << QStringLiteral("%1; the host's texts stay in English").arg(error);
    // Numbers are read and shown as the language writes them, whatever the environment's locale,
    // and without group separators: a number shown can be typed back as it is.
    if (auto locale = HostLanguageService::LocaleOf(language)) {
        locale->setNumberOptions(QLocale::OmitGroupSeparator);
        QLocale::setDefault(*locale);
    }
    error.clear();
    m_qtTexts.reset();
    m_qtTexts = HostLanguageService::LoadQtTexts(language, &error);
    if (!error.isEmpty()) warnings << error;
    return warnings;
}

}  // namespace orvex
