#include "HostSession.h"

#include <string>

#include "host/platform/HostLanguageService.h"
#include "host/platform/HostSettingsFile.h"
#include "host/session/HostRegistration.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"

namespace korotkatool {

namespace {

// The name under which the driver looks its instrument up.
const QString kInstrumentName = QStringLiteral("Korotka");

}  // namespace

HostSession::HostSession(orvex::HostMessageService::Mode messageMode)
    : m_settings(orvex::HostSettingsFile::Open()),
      m_ports(std::make_shared<orvex::HostPortTable>()),
      m_instruments(std::make_shared<orvex::HostInstrumentRegistry>()),
      m_messages(std::make_shared<orvex::HostMessageService>(messageMode)) {
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
    m_ports->Load(*m_settings);
    m_instruments->Load(*m_settings);
    m_port = m_instruments->PortOf(kInstrumentName, QString());
    if (m_port < 1) {
        *error = QStringLiteral(
                     "no Korotka is registered in %1; name its device with --device PATH or use --simulate")
                     .arg(m_settings->fileName());
        return false;
    }
    if (DevicePath().isEmpty()) {
        *error = QStringLiteral("the Korotka is registered on port %1, but %2 names no device for that port")
                     .arg(m_port)
                     .arg(m_settings->fileName());
        return false;
    }
    return true;
}

void HostSession::Register(const QString& devicePath) {
    m_port = m_ports->PortOf(devicePath);
    m_instruments->Assign(m_port, {kInstrumentName, QString(), QString(), 1});
}

}  // namespace korotkatool
