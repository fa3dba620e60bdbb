#include "FuzzHost.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "host/session/HostEnvironment.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/frame/CPlugInKorotka.h"
#include "plugin/frame/PlugInRegistration.h"

namespace {

constexpr int32_t kMaxChildren = 8;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

}  // namespace

int FuzzHost::Initialize(int* argc, char*** argv) {
    qputenv("ORVEX_REGISTRY", Folder().filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
    static QCoreApplication application(*argc, *argv);
    // Every bad input is worth a warning to a technician, not to a fuzzer running millions of them.
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.*.warning=false\nkorotka.*.warning=false"));
    Environment();
    // As the host's loader does: the plug-in's classes by name, then its start-up.
    orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
    korotka::CPlugInKorotka::StartUp();
    return 0;
}

orvex::HostEnvironment& FuzzHost::Environment() {
    static orvex::HostEnvironment environment(orvex::HostMessageService::Mode::Record);
    environment.Messages()->Clear();
    return environment;
}

QString FuzzHost::InputFile(const uint8_t* data, size_t size) {
    const QString path = ScratchFile(QStringLiteral("input"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) !=
            static_cast<qint64>(size)) {
        Fail("the input could not be written to its file");
    }
    return path;
}

QString FuzzHost::ScratchFile(const QString& name) { return Folder().filePath(name); }

void FuzzHost::Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::fflush(stderr);
    __builtin_trap();
}

int FuzzHost::RunOne(const uint8_t* data, size_t size, const Exercise& exercise) {
    if (size > kMaxInput) return 0;
    const auto document = orvex::HostServices::Xml()->CreateDocument();
    try {
        document->LoadText(
            QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const orvex::ComError&) {
        return 0;
    }
    const auto root = document->DocumentElement();
    if (!root) return 0;
    exercise(root);
    const int32_t children = std::min(root->ChildCount(), kMaxChildren);
    for (int32_t i = 0; i < children; ++i) exercise(root->Child(i));
    return 0;
}
