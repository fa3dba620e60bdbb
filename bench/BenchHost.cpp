#include "BenchHost.h"

#include <QDir>

#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "hostapi/IPlugIn.h"

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
    return orvex::HostKorotka::LoadPlugIn(
        *m_environment,
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../lib/liborvexKorotka.so")),
        QStringLiteral("English"), nullptr);
}
