#include "HostServices.h"

#include <utility>

#include "ComError.h"

namespace orvex {

namespace {

struct Services {
    std::shared_ptr<LanguageService> language;
    std::shared_ptr<MessageService> messages;
    std::shared_ptr<PortTable> ports;
    std::shared_ptr<InstrumentRegistry> instruments;
    std::shared_ptr<ErrorService> errors;
    std::shared_ptr<XmlDocumentFactory> xml;
    std::shared_ptr<orvex::Application> application;
    std::shared_ptr<TestGuideService> testGuide;
    std::shared_ptr<ValueFormatter> values;
    std::shared_ptr<orvex::ValueElements> valueElements;
};

Services& Installed() {
    static Services services;
    return services;
}

template <class T>
std::shared_ptr<T> Require(const std::shared_ptr<T>& service, const char* name) {
    if (!service) {
        throw ComError(ComError::kObjectRequired, QStringLiteral("orvex.HostServices"),
                       QStringLiteral("Object required: the host has no %1").arg(QLatin1String(name)));
    }
    return service;
}

}  // namespace

void HostServices::SetLanguage(std::shared_ptr<LanguageService> service) {
    Installed().language = std::move(service);
}
void HostServices::SetMessages(std::shared_ptr<MessageService> service) {
    Installed().messages = std::move(service);
}
void HostServices::SetPorts(std::shared_ptr<PortTable> service) { Installed().ports = std::move(service); }
void HostServices::SetInstruments(std::shared_ptr<InstrumentRegistry> service) {
    Installed().instruments = std::move(service);
}

void HostServices::SetErrors(std::shared_ptr<ErrorService> service) {
    Installed().errors = std::move(service);
}
void HostServices::SetXml(std::shared_ptr<XmlDocumentFactory> service) {
    Installed().xml = std::move(service);
}
void HostServices::SetApplication(std::shared_ptr<orvex::Application> service) {
    Installed().application = std::move(service);
}
void HostServices::SetTestGuide(std::shared_ptr<TestGuideService> service) {
    Installed().testGuide = std::move(service);
}
void HostServices::SetValues(std::shared_ptr<ValueFormatter> service) {
    Installed().values = std::move(service);
}
void HostServices::SetValueElements(std::shared_ptr<orvex::ValueElements> service) {
    Installed().valueElements = std::move(service);
}

std::shared_ptr<LanguageService> HostServices::Language() {
    return Require(Installed().language, "language service");
}
std::shared_ptr<MessageService> HostServices::Messages() {
    return Require(Installed().messages, "message service");
}
std::shared_ptr<PortTable> HostServices::Ports() { return Require(Installed().ports, "port table"); }
std::shared_ptr<InstrumentRegistry> HostServices::Instruments() {
    return Require(Installed().instruments, "instrument registry");
}

std::shared_ptr<ErrorService> HostServices::Errors() { return Require(Installed().errors, "error service"); }
std::shared_ptr<XmlDocumentFactory> HostServices::Xml() {
    return Require(Installed().xml, "XML document factory");
}
std::shared_ptr<orvex::Application> HostServices::Application() {
    return Require(Installed().application, "application object");
}
std::shared_ptr<TestGuideService> HostServices::TestGuide() {
    return Require(Installed().testGuide, "test guide service");
}
std::shared_ptr<ValueFormatter> HostServices::Values() {
    return Require(Installed().values, "value formatter");
}
std::shared_ptr<orvex::ValueElements> HostServices::ValueElements() {
    return Require(Installed().valueElements, "value and status elements");
}

}  // namespace orvex
