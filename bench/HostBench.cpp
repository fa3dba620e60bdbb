// Figures of the host's side of a sequence:
//  (a) loading the plug-in, its texts and its templates as orvex does: the first load in this
//      process, then the median of 20 more (Initialize and template parse; the library is loaded);
//      goal under 20 ms;
//  (b) save and load of a sequence of 1,000 static pressure tests with results, against a bare
//      pugixml parse and write of the same file; goal under 100 ms and under 3 times bare.
#include <pugixml.hpp>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "host/HostApplication.h"
#include "host/HostEnvironment.h"
#include "host/HostLanguageService.h"
#include "host/HostPlugInLoader.h"
#include "host/HostSequence.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlDocumentFactory.h"
#include "hostapi/XmlElement.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/results/CResultStaticPressure.h"

namespace {

using Clock = std::chrono::steady_clock;
const QString kPlugInId = QStringLiteral("Korotka");

double Milliseconds(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::shared_ptr<orvex::IPlugIn> LoadPlugIn(orvex::HostEnvironment& environment, const QString& library) {
    environment.Loader().Load(kPlugInId, library);
    const auto application = environment.Application();
    QString error;
    environment.Language()->Load(
        kPlugInId, application->JoinPath(application->PlugInFolder(kPlugInId), QStringLiteral("Language")),
        QStringLiteral("English"), &error);
    auto plugIn = orvex::ComponentRegistry::Instance().CreateAs<orvex::IPlugIn>(
        QStringLiteral("orvexKorotka.CPlugInKorotka"));
    plugIn->Initialize(nullptr);
    return plugIn;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("ORVEX_REGISTRY", dir.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
    orvex::HostEnvironment environment(orvex::HostMessageService::Mode::Record);
    const QString library =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../lib/liborvexKorotka.so"));

    // (a)
    std::shared_ptr<orvex::IPlugIn> plugIn;
    const double first = Milliseconds([&] { plugIn = LoadPlugIn(environment, library); });
    std::vector<double> again;
    for (int i = 0; i < 20; ++i) again.push_back(Milliseconds([&] { LoadPlugIn(environment, library); }));
    std::printf(
        "plug-in load + Initialize + templates: first %.2f ms, then median %.2f ms of 20 (goal < 20 ms)\n",
        first, Median(again));

    // (b) 1,000 tests with results.
    orvex::HostSequence sequence(plugIn);
    for (int i = 0; i < orvex::HostSequence::kMaxTests; ++i) sequence.Append(300);
    // Every test gets a judged-looking result, loaded the way a file gives it one.
    korotka::CResultStaticPressure result;
    result.CreateMeasurements(QStringLiteral("mmHg"));
    result.MeasurementByKey(QStringLiteral("STAT"))->SetValue(orvex::Variant(251.0F));
    result.SetManometer(250.0F);
    const auto document = orvex::HostServices::Xml()->CreateDocument();
    const auto root = document->CreateElement(QStringLiteral("Results"));
    document->SetDocumentElement(root);
    const auto resultItem = result.Save(root);
    for (const auto& test : sequence.Tests()) test->Load(resultItem, 0);
    const QString file = dir.filePath(QStringLiteral("sequence.xml"));
    sequence.Save(file);
    sequence.Load(file);
    std::vector<double> saves, loads, bare;
    for (int i = 0; i < 5; ++i) {
        saves.push_back(Milliseconds([&] { sequence.Save(file); }));
        loads.push_back(Milliseconds([&] { sequence.Load(file); }));
        bare.push_back(Milliseconds([&] {
            pugi::xml_document document;
            document.load_file(file.toLocal8Bit().constData());
            std::ostringstream out;
            document.save(out);
        }));
    }
    const double saveLoad = Median(saves) + Median(loads);
    std::printf(
        "1,000-test sequence (%lld bytes): save %.1f ms + load %.1f ms = %.1f ms (goal < 100 ms); "
        "bare pugixml parse + write %.1f ms, ratio %.1f (goal < 3)\n",
        static_cast<long long>(QFileInfo(file).size()), Median(saves), Median(loads), saveLoad, Median(bare),
        saveLoad / Median(bare));
    return 0;
}
