#pragma once

#include <QGroupBox>
#include <QString>
#include <functional>

#include "host/platform/HostExport.h"
#include "host/platform/HostResult.h"
#include "host/session/HostKorotka.h"

class QComboBox;
class QLabel;

namespace orvex {

class HostEnvironment;

// The Korotka to use, in the main window's side panel: the device it is on (the serial devices
// found, and the built-in simulator), who answers there, and the driver's control panel.
class ORVEX_HOST_EXPORT HostInstrumentPanel : public QGroupBox {
    Q_OBJECT

public:
    using Korotka = HostKorotka::Device;
    // Starts the built-in simulator, or says why it cannot.
    using SimulatorStarter = std::function<HostResult<Korotka>()>;

    HostInstrumentPanel(HostEnvironment& environment, SimulatorStarter simulator, QWidget* parent = nullptr);

    // Chooses the device, offered from then on when the search did not find it.
    void ChooseDevice(const QString& devicePath);
    // The Korotka on the chosen device, registered for the run (the simulator started).
    HostResult<Korotka> Chosen();
    // Who answers on the chosen device, or why nobody does; shown below the chooser.
    QString Identify();
    // The driver's control panel; its settings are kept when it is left with OK.
    void ShowControlPanel();

signals:
    // The control panel could not be shown.
    void Failed(const QString& why);

private:
    void FillDevices();

    HostEnvironment& m_environment;
    SimulatorStarter m_startSimulator;
    QComboBox* m_cboDevice = nullptr;
    QLabel* m_lblIdentity = nullptr;
};

}  // namespace orvex
