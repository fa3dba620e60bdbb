#pragma once

#include <QSettings>
#include <QString>
#include <cstdint>
#include <memory>

#include "host/platform/HostInstrumentRegistry.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPortTable.h"
#include "sim/Simulator.h"

namespace korotkatool {

// Plays the test host for the driver: installs the host services and tells the driver on which
// port the Korotka is, be it a named device, the built-in simulator or the technician's settings.
class HostSession {
public:
    explicit HostSession(orvex::HostMessageService::Mode messageMode);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    void UseDevice(const QString& devicePath);
    // False with the reason in error when the simulator cannot start.
    bool UseSimulator(const korotkasim::SimOptions& options, QString* error);
    // The Korotka registered in the settings file; false with the reason in error when there is none.
    bool UseSettings(QString* error);

    int32_t Port() const { return m_port; }
    QString DevicePath() const { return m_ports->DevicePath(m_port); }
    QSettings& Settings() { return *m_settings; }
    // Every message box the driver showed so far, oldest first.
    const QList<orvex::HostMessageService::Message>& Messages() const { return m_messages->Shown(); }

private:
    void Register(const QString& devicePath);

    std::unique_ptr<QSettings> m_settings;
    std::shared_ptr<orvex::HostPortTable> m_ports;
    std::shared_ptr<orvex::HostInstrumentRegistry> m_instruments;
    std::shared_ptr<orvex::HostMessageService> m_messages;
    std::unique_ptr<korotkasim::Simulator> m_simulator;
    int32_t m_port = 0;
};

}  // namespace korotkatool
