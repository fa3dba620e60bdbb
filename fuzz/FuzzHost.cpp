#include "FuzzHost.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>

#include "host/HostEnvironment.h"
#include "hostapi/ComError.h"
#include "hostapi/HostServices.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/frame/CPlugInKorotka.h"

namespace {

// Records are small; larger inputs only slow the search down.
constexpr size_t kMaxInput = 64 * 1024;
constexpr int32_t kMaxChildren = 8;

}  // namespace

int FuzzHost::Initialize(int* argc, char*** argv) {
    static QTemporaryDir registryDir;
    qputenv("ORVEX_REGISTRY", registryDir.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
    static QCoreApplication application(*argc, *argv);
    // Every bad input is worth a warning to a technician, not to a fuzzer running millions of them.
    QLoggingCategory::setFilterRules(QStringLiteral("orvex.*.warning=false\nkorotka.*.warning=false"));
    static orvex::HostEnvironment environment(orvex::HostMessageService::Mode::Record);
    korotka::CPlugInKorotka::StartUp();
    return 0;
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
