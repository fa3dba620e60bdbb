#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

#include "host/platform/HostExport.h"
#include "host/platform/HostResult.h"
#include "hostapi/InstrumentInfo.h"
#include "sim/SimOptions.h"

class QSettings;

namespace orvex {

class HostEnvironment;
class HostInstrumentRegistry;
class HostPortTable;
class IPlugIn;

// The Korotka as the host knows it: its plug-in, loaded with its texts, and the port it is on.
class ORVEX_HOST_EXPORT HostKorotka {
public:
    // The plug-in's id, and the name under which the driver looks its instrument up.
    static inline const QString kName = QStringLiteral("Korotka");

    // A Korotka to run against; keepAlive holds whatever must live while it is used (a simulator).
    struct Device {
        QString devicePath;
        QString serialNo;
        QString fwVersion;
        std::shared_ptr<void> keepAlive;
    };

    // Loads the plug-in library, its texts in the language (from the folder its setup object
    // names) and makes the plug-in object; a language that cannot be loaded leaves the texts in
    // English and says why in warning. Raises what the loader or the plug-in raise.
    static std::shared_ptr<IPlugIn> LoadPlugIn(HostEnvironment& environment, const QString& library,
                                               const QString& language, QString* warning);
    // The Korotka of this run is on that device; its serial number and firmware are known only
    // for the simulator. Returns its port.
    static int32_t Register(HostEnvironment& environment, const QString& devicePath,
                            const QString& serialNo = {}, const QString& fwVersion = {});
    // The port the settings register the Korotka on, with the settings' ports and instruments
    // loaded; why not when there is none or it names no device.
    static HostResult<int32_t> PortInSettings(HostPortTable& ports, HostInstrumentRegistry& instruments,
                                              QSettings& settings);
    // The same from the host's settings file, loaded into the environment's ports and instruments.
    static HostResult<int32_t> PortInSettings(HostEnvironment& environment);
    // The built-in simulator on a pseudo-terminal, running until keepAlive is let go of; why not
    // when the options are unsound or it does not start.
    static HostResult<Device> StartSimulator(const korotkasim::SimOptions& options);
    // Which Korotka to use: the device named, else the built-in simulator when it has options,
    // else the one the settings register.
    struct Source {
        std::optional<QString> devicePath;
        std::optional<korotkasim::SimOptions> simulation;
    };
    // The Korotka of the source, registered where the driver looks it up; why not when the
    // settings register none or the simulator does not start.
    static HostResult<Device> Use(HostEnvironment& environment, const Source& source);
    // Serial devices a Korotka may be on: /dev/serial/by-id, then USB and ACM adapters.
    static QStringList SerialDevices();
    // Asks the Korotka registered on the device who it is, through its driver (loaded); none
    // when nothing answered. Raises what the driver raises.
    static std::optional<InstrumentInfo> Identify(HostEnvironment& environment, const QString& devicePath);
};

}  // namespace orvex
