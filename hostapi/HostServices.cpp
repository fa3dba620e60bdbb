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

void HostServices::SetLanguage(std::shared_ptr<LanguageService> service) { Installed().language = std::move(service); }
void HostServices::SetMessages(std::shared_ptr<MessageService> service) { Installed().messages = std::move(service); }
void HostServices::SetPorts(std::shared_ptr<PortTable> service) { Installed().ports = std::move(service); }
void HostServices::SetInstruments(std::shared_ptr<InstrumentRegistry> service) {
    Installed().instruments = std::move(service);
}

std::shared_ptr<LanguageService> HostServices::Language() { return Require(Installed().language, "language service"); }
std::shared_ptr<MessageService> HostServices::Messages() { return Require(Installed().messages, "message service"); }
std::shared_ptr<PortTable> HostServices::Ports() { return Require(Installed().ports, "port table"); }
std::shared_ptr<InstrumentRegistry> HostServices::Instruments() {
    return Require(Installed().instruments, "instrument registry");
}

}  // namespace orvex
