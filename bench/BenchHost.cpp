#include "BenchHost.h"

#include <QDir>

#include "host/platform/HostApplication.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IPlugIn.h"

namespace {
const QString kPlugInId = QStringLiteral("Korotka");
}

int& BenchHost::Offscreen(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

BenchHost::BenchHost(int& argc, char** argv) : m_application(Offscreen(argc), argv) {
    qputenv("ORVEX_REGISTRY", m_folder.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
    m_environment = std::make_unique<orvex::HostEnvironment>(orvex::HostMessageService::Mode::Record);
}

BenchHost::~BenchHost() = default;

std::shared_ptr<orvex::IPlugIn> BenchHost::LoadPlugIn() {
    m_environment->Loader().Load(
        kPlugInId,
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../lib/liborvexKorotka.so")));
    const auto application = m_environment->Application();
    QString error;
    m_environment->Language()->Load(
        kPlugInId, application->JoinPath(application->PlugInFolder(kPlugInId), QStringLiteral("Language")),
        QStringLiteral("English"), &error);
    auto plugIn = orvex::ComponentRegistry::Instance().CreateAs<orvex::IPlugIn>(
        QStringLiteral("orvexKorotka.CPlugInKorotka"));
    plugIn->Initialize(nullptr);
    return plugIn;
}
