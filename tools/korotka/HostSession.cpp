#include "HostSession.h"

#include <string>

#include "Diagnostics.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostSettingsFile.h"
#include "host/session/HostKorotka.h"
#include "host/session/HostRegistration.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"

namespace korotkatool {

HostSession::HostSession(orvex::HostMessageService::Mode messageMode)
    : m_settings(orvex::HostSettingsFile::Open()),
      m_ports(std::make_shared<orvex::HostPortTable>()),
      m_instruments(std::make_shared<orvex::HostInstrumentRegistry>()),
      m_messages(std::make_shared<orvex::HostMessageService>(messageMode)) {
    m_messages->SetConsoleOutput([](const QString& line) { Diagnostics::Print(stderr, line); });
    orvex::HostServices::SetPorts(m_ports);
    orvex::HostServices::SetLanguage(std::make_shared<orvex::HostLanguageService>());
    orvex::HostServices::SetMessages(m_messages);
    orvex::HostServices::SetInstruments(m_instruments);
    // The driver creates the host's instrument-data object by its class name.
    orvexhost_RegisterClasses(orvex::ComponentRegistry::Instance());
}

HostSession::~HostSession() {
    orvex::HostServices::SetPorts(nullptr);
    orvex::HostServices::SetLanguage(nullptr);
    orvex::HostServices::SetMessages(nullptr);
    orvex::HostServices::SetInstruments(nullptr);
}

void HostSession::UseDevice(const QString& devicePath) { Register(devicePath); }

bool HostSession::UseSimulator(const korotkasim::SimOptions& options, QString* error) {
    m_simulator = std::make_unique<korotkasim::Simulator>(options);
    std::string reason;
    if (!m_simulator->Start(&reason)) {
        *error = QStringLiteral("the simulator did not start: %1").arg(QString::fromStdString(reason));
        return false;
    }
    Register(QString::fromStdString(m_simulator->SlavePath()));
    return true;
}

bool HostSession::UseSettings(QString* error) {
    const auto port = orvex::HostKorotka::PortInSettings(*m_ports, *m_instruments, *m_settings);
    m_port = port ? *port : 0;
    if (!port) *error = port.Why();
    return m_port > 0;
}

void HostSession::Register(const QString& devicePath) {
    m_port = m_ports->PortOf(devicePath);
    m_instruments->Assign(m_port, {orvex::HostKorotka::kName, QString(), QString(), 1});
}

}  // namespace korotkatool
