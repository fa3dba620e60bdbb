#include "HostKorotka.h"

#include <QFileInfo>

#include <QDir>

#include <QSettings>

#include "host/platform/HostApplication.h"
#include "host/platform/HostInstrumentRegistry.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/platform/HostPortTable.h"
#include "host/platform/HostSettingsFile.h"
#include "host/session/HostEnvironment.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IOrvexMLCQuery.h"
#include "hostapi/IPlugIn.h"
#include "sim/Simulator.h"

namespace orvex {

std::shared_ptr<IPlugIn> HostKorotka::LoadPlugIn(HostEnvironment& environment, const QString& library,
                                                 const QString& language, QString* warning) {
    environment.Loader().Load(kName, library);
    const QString folder =
        environment.Application()->LanguageFolder(kName, QStringLiteral("orvexKorotka.CPlugInSetup"));
    QString error;
    if (!environment.Language()->Load(kName, folder, language, &error) && warning != nullptr) {
        *warning = QStringLiteral("%1; the texts stay in English").arg(error);
    }
    auto plugIn =
        ComponentRegistry::Instance().CreateAs<IPlugIn>(QStringLiteral("orvexKorotka.CPlugInKorotka"));
    plugIn->Initialize(nullptr);
    return plugIn;
}

int32_t HostKorotka::Register(HostEnvironment& environment, const QString& devicePath,
                              const QString& serialNo, const QString& fwVersion) {
    const int32_t port = environment.Ports()->PortOf(devicePath);
    // The Korotka in use is on this port only: a port it was on before (a simulator since let go
    // of, another device) would be the one the driver finds first.
    environment.Instruments()->Release(kName);
    environment.Instruments()->Assign(port, {kName, serialNo, fwVersion, 1});
    return port;
}

HostResult<int32_t> HostKorotka::PortInSettings(HostPortTable& ports, HostInstrumentRegistry& instruments,
                                                QSettings& settings) {
    ports.Load(settings);
    instruments.Load(settings);
    const int32_t port = instruments.PortOf(kName, QString());
    if (port < 1) {
        return HostResult<int32_t>::Failed(
            QStringLiteral(
                "no Korotka is registered in %1; name its device with --device PATH or use --simulate")
                .arg(settings.fileName()));
    }
    if (ports.DevicePath(port).isEmpty()) {
        return HostResult<int32_t>::Failed(
            QStringLiteral("the Korotka is registered on port %1, but %2 names no device for that port")
                .arg(port)
                .arg(settings.fileName()));
    }
    return port;
}

HostResult<int32_t> HostKorotka::PortInSettings(HostEnvironment& environment) {
    const auto settings = HostSettingsFile::Open();
    return PortInSettings(*environment.Ports(), *environment.Instruments(), *settings);
}

HostResult<HostKorotka::Device> HostKorotka::StartSimulator(const korotkasim::SimOptions& options) {
    const std::string problem = korotkasim::CheckOptions(options);
    if (!problem.empty()) return HostResult<Device>::Failed(QString::fromStdString(problem));
    auto simulator = std::make_shared<korotkasim::Simulator>(options);
    std::string reason;
    if (!simulator->Start(&reason)) {
        return HostResult<Device>::Failed(
            QStringLiteral("the simulator did not start: %1").arg(QString::fromStdString(reason)));
    }
    return Device{QString::fromStdString(simulator->SlavePath()), QString::fromStdString(options.serial),
                  QString::fromStdString(options.firmware), simulator};
}

HostResult<HostKorotka::Device> HostKorotka::Use(HostEnvironment& environment, const Source& source) {
    if (source.devicePath) {
        Register(environment, *source.devicePath);
        return Device{*source.devicePath, {}, {}, nullptr};
    }
    if (!source.simulation) {
        const auto port = PortInSettings(environment);
        if (!port) return HostResult<Device>::Failed(port.Why());
        return Device{environment.Ports()->DevicePath(*port), {}, {}, nullptr};
    }
    auto simulator = StartSimulator(*source.simulation);
    if (simulator) Register(environment, simulator->devicePath, simulator->serialNo, simulator->fwVersion);
    return simulator;
}

QStringList HostKorotka::SerialDevices() {
    QStringList devices;
    for (const QFileInfo& link :
         QDir(QStringLiteral("/dev/serial/by-id")).entryInfoList(QDir::System | QDir::Files)) {
        devices << link.absoluteFilePath();
    }
    for (const QFileInfo& device : QDir(QStringLiteral("/dev"))
                                       .entryInfoList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                                      QDir::System, QDir::Name)) {
        devices << device.absoluteFilePath();
    }
    return devices;
}

std::optional<InstrumentInfo> HostKorotka::Identify(HostEnvironment& environment, const QString& devicePath) {
    const auto query = ComponentRegistry::Instance().CreateAs<IOrvexMLCQuery>(
        QStringLiteral("orvexKorotkaVTI.CKorotkaMlcQuery"));
    const InstrumentInfo info = query->QueryMTI(environment.Ports()->PortOf(devicePath));
    return info.found == 1 ? std::optional<InstrumentInfo>(info) : std::nullopt;
}

}  // namespace orvex
