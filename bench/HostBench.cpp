// Figures of the host's side of a sequence:
//  (a) loading the plug-in, its texts and its templates as orvex does: the first load in this
//      process, then the median of 20 more (Initialize and template parse; the library is loaded);
//      goal under 20 ms;
//  (b) save and load of a sequence of 1,000 static pressure tests with results, against a bare
//      pugixml parse and write of the same file; goal under 100 ms and under 3 times bare;
//  (c) the PDF report of 100 of those tests, as `orvex report` writes it; goal under 2 s;
//  (d) the save a run makes after each test of those 100 (written, flushed to disk and renamed):
//      median of 20; goal under 50 ms, a pause nobody notices after Next.
#include <pugixml.hpp>

#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "BenchFigure.h"
#include "BenchHost.h"
#include "host/output/HostReportWriter.h"
#include "host/session/HostEnvironment.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVisitSaver.h"
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

int main(int argc, char** argv) {
    BenchHost host(argc, argv);

    // (a)
    std::shared_ptr<orvex::IPlugIn> plugIn;
    const double first = BenchFigure::Milliseconds([&] { plugIn = host.LoadPlugIn(); });
    std::vector<double> again;
    for (int i = 0; i < 20; ++i) again.push_back(BenchFigure::Milliseconds([&] { host.LoadPlugIn(); }));
    std::printf(
        "plug-in load + Initialize + templates: first %.2f ms, then median %.2f ms of 20 (goal < 20 ms)\n",
        first, BenchFigure::Median(again));
    BenchFigure::Print(QStringLiteral("plug-in load + Initialize, first"),
                       QStringLiteral("%1 ms").arg(first, 0, 'f', 2), QStringLiteral("< 20 ms"),
                       first < 20.0);

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
    const QString file = host.Path(QStringLiteral("sequence.xml"));
    sequence.Save(file);
    sequence.Load(file);
    std::vector<double> saves, loads, bare;
    for (int i = 0; i < 5; ++i) {
        saves.push_back(BenchFigure::Milliseconds([&] { sequence.Save(file); }));
        loads.push_back(BenchFigure::Milliseconds([&] { sequence.Load(file); }));
        bare.push_back(BenchFigure::Milliseconds([&] {
            pugi::xml_document document;
            document.load_file(file.toLocal8Bit().constData());
            std::ostringstream out;
            document.save(out);
        }));
    }
    const double saveLoad = BenchFigure::Median(saves) + BenchFigure::Median(loads);
    std::printf(
        "1,000-test sequence (%lld bytes): save %.1f ms + load %.1f ms = %.1f ms (goal < 100 ms); "
        "bare pugixml parse + write %.1f ms, ratio %.1f (goal < 3)\n",
        static_cast<long long>(QFileInfo(file).size()), BenchFigure::Median(saves),
        BenchFigure::Median(loads), saveLoad, BenchFigure::Median(bare),
        saveLoad / BenchFigure::Median(bare));
    BenchFigure::Print(QStringLiteral("1,000-test sequence save + load"),
                       QStringLiteral("%1 ms").arg(saveLoad, 0, 'f', 1), QStringLiteral("< 100 ms"),
                       saveLoad < 100.0);
    BenchFigure::Print(QStringLiteral("  the same against bare pugixml"),
                       QStringLiteral("%1 x").arg(saveLoad / BenchFigure::Median(bare), 0, 'f', 1),
                       QStringLiteral("< 3 x"), saveLoad / BenchFigure::Median(bare) < 3.0);

    // (c) The first 100 of those tests.
    while (sequence.Tests().size() > 100) sequence.Remove(sequence.Tests().size() - 1);
    const orvex::HostReportWriter report(sequence, host.Environment().Language());
    const QString pdf = host.Path(QStringLiteral("report.pdf"));
    const double rendering =
        BenchFigure::Milliseconds([&] { report.WritePdf(pdf, orvex::HostReportWriter::Page::A4); });
    std::printf("100-test report to PDF (%lld bytes): %.0f ms (goal < 2000 ms)\n",
                static_cast<long long>(QFileInfo(pdf).size()), rendering);
    BenchFigure::Print(QStringLiteral("100-test report to PDF"),
                       QStringLiteral("%1 ms").arg(rendering, 0, 'f', 0), QStringLiteral("< 2000 ms"),
                       rendering < 2000.0);

    // (d)
    orvex::HostVisitSaver saver(host.Path(QStringLiteral("visit.xml")));
    std::vector<double> kept;
    for (int i = 0; i < 20; ++i) kept.push_back(BenchFigure::Milliseconds([&] { saver.Save(sequence); }));
    const double perSave = BenchFigure::Median(kept);
    std::printf(
        "save after each test of a 100-test run: median %.1f ms of 20, max %.1f ms (goal < 50 ms)%s\n",
        perSave, *std::max_element(kept.begin(), kept.end()),
        saver.Failure().isEmpty() ? "" : " - the save failed");
    BenchFigure::Print(QStringLiteral("save after each test, 100-test run"),
                       QStringLiteral("%1 ms").arg(perSave, 0, 'f', 1), QStringLiteral("< 50 ms"),
                       perSave < 50.0 && saver.Failure().isEmpty());
    return 0;
}
