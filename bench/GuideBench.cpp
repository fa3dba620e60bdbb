// Figures of the test guide window while an instrument step polls a silent simulated Korotka
// (one reply window a second):
//  (a) time from a click on Stop (a mouse press and release posted to the tool bar button) to the
//      window's StopTest event, over 50 clicks: median and maximum (goal: under 50 ms);
//  (b) CPU time of the whole process during a 10 s step with no reply (goal: under 2 % of a core);
//  (c) CPU time of the whole process in the 5 s after the line was lost mid-step, the window open
//      and its event loop running (goal: idle, under 2 % of a core);
//  (d) against a Korotka that answers at once, the static test's reading loop for 5 s: commands
//      sent a second (goal: a few, paced at one reading per 250 ms) and the click-to-handler time
//      of Stop clicks meanwhile (goal: under 50 ms).
#include <QApplication>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "driver/CKorotkaVTI.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgToolbar.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/frame/PlugInRegistration.h"
#include "sim/Simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs a step that cannot end before its poll limit; its time-out error is the expected end.
void RunSilentStep(korotka::FTestGuide& guide, const std::shared_ptr<korotka::CKorotkaVTI>& vti,
                   int16_t polls) {
    orvex::Variant params(orvex::VariantArray::FromList(
        {orvex::Variant(0), orvex::Variant("250"), orvex::Variant(0), orvex::Variant(true)}));
    orvex::Variant results(
        orvex::VariantArray::FromList({orvex::Variant(0), orvex::Variant(""), orvex::Variant("")}));
    try {
        guide.RunInstrumentStep(vti, korotka::TESTID_PRESS_STATIC, params, results, polls, true, false);
    } catch (const orvex::ComError&) {
    }
}

// Posts a mouse click to the button every interval while `run` runs, and gives how long each took
// to reach the window's StopTest event.
std::vector<double> StopClickLatencies(korotka::FTestGuide& guide, const std::function<void()>& run,
                                       int clicks) {
    const auto stop = guide.Toolbar()->Buttons(orvex::XTgToolbar::kStop);
    auto* stopButton = dynamic_cast<QWidget*>(stop.get());
    stop->SetEnabled(true);
    std::vector<double> latencies;
    Clock::time_point posted;
    const auto connection = QObject::connect(&guide, &korotka::FTestGuide::StopTest, &guide, [&] {
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - posted).count());
        guide.SetStopEnabled(true);
    });
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (static_cast<int>(latencies.size()) >= clicks) return;
        const QPointF centre(stopButton->width() / 2.0, stopButton->height() / 2.0);
        posted = Clock::now();
        QApplication::postEvent(
            stopButton, new QMouseEvent(QEvent::MouseButtonPress, centre, stopButton->mapToGlobal(centre),
                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QApplication::postEvent(
            stopButton, new QMouseEvent(QEvent::MouseButtonRelease, centre, stopButton->mapToGlobal(centre),
                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    });
    clicker.start(230);
    run();
    QObject::disconnect(connection);
    std::sort(latencies.begin(), latencies.end());
    return latencies;
}

// The static test's reading loop against an instrument that answers every command at once.
void ReadGauge(korotka::FTestGuide& guide, const std::shared_ptr<korotka::CKorotkaVTI>& vti, int seconds) {
    orvex::Variant params(orvex::VariantArray::FromList(
        {orvex::Variant(0), orvex::Variant("250"), orvex::Variant(0), orvex::Variant(true)}));
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < until) {
        orvex::Variant results(
            orvex::VariantArray::FromList({orvex::Variant(0), orvex::Variant(""), orvex::Variant("")}));
        guide.RunInstrumentStep(vti, korotka::TESTID_PRESS_STATIC, params, results, 10, false, false);
        guide.UpdateProgress();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    orvex::HostEnvironment environment(orvex::HostMessageService::Mode::Record);
    orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());

    korotkasim::Simulator sim{korotkasim::SimOptions{}};
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "the simulator did not start: %s\n", error.c_str());
        return 1;
    }
    sim.SetAutoReply(false);
    environment.Ports()->Assign(1, QString::fromStdString(sim.SlavePath()));
    environment.Instruments()->Assign(1, {orvex::HostKorotka::kName, QString(), QString(), 1});

    const auto vti = std::make_shared<korotka::CKorotkaVTI>();
    vti->StartRemote();
    const auto guide = korotka::FTestGuide::Create();
    guide->show();

    // (a) Stop clicks while the step polls.
    const std::vector<double> sorted = StopClickLatencies(
        *guide, [&] { RunSilentStep(*guide, vti, 13); }, 50);
    if (sorted.empty()) {
        std::fprintf(stderr, "no click reached the window\n");
        return 1;
    }
    std::printf("Stop click to StopTest (%zu clicks): median %.2f ms, max %.2f ms (goal < 50 ms)\n",
                sorted.size(), sorted[sorted.size() / 2], sorted.back());
    BenchFigure::Print(QStringLiteral("click to handler during a step, max"),
                       QStringLiteral("%1 ms").arg(sorted.back(), 0, 'f', 2), QStringLiteral("< 50 ms"),
                       sorted.back() < 50.0);

    // (b) A 10 s step with no reply and no clicks.
    const double cpu0 = CpuSeconds();
    const auto wall0 = Clock::now();
    RunSilentStep(*guide, vti, 10);
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::printf("10 s silent step: %.3f s CPU in %.2f s, %.2f %% of one core (goal < 2 %%)\n", cpu, wall,
                100.0 * cpu / wall);
    BenchFigure::Print(QStringLiteral("CPU of a silent step"),
                       QStringLiteral("%1 %").arg(100.0 * cpu / wall, 0, 'f', 2),
                       QStringLiteral("< 2 % of a core"), 100.0 * cpu / wall < 2.0);

    // (c) The line is lost a second into a step; then nothing should run.
    QTimer::singleShot(1000, [&sim] { sim.HangUp(); });
    const auto stepStart = Clock::now();
    RunSilentStep(*guide, vti, 13);
    const double step = std::chrono::duration<double>(Clock::now() - stepStart).count();
    if (step > 5.0) {
        std::fprintf(stderr, "the lost line did not end the step (it ran %.1f s)\n", step);
        return 1;
    }
    const double lost0 = CpuSeconds();
    const auto lostWall0 = Clock::now();
    QEventLoop idle;
    QTimer::singleShot(5000, &idle, &QEventLoop::quit);
    idle.exec();
    const double lostWall = std::chrono::duration<double>(Clock::now() - lostWall0).count();
    const double lostCpu = CpuSeconds() - lost0;
    std::printf("5 s after a lost line: %.3f s CPU in %.2f s, %.2f %% of one core (goal < 2 %%)\n", lostCpu,
                lostWall, 100.0 * lostCpu / lostWall);
    BenchFigure::Print(QStringLiteral("CPU after a lost line"),
                       QStringLiteral("%1 %").arg(100.0 * lostCpu / lostWall, 0, 'f', 2),
                       QStringLiteral("< 2 % of a core"), 100.0 * lostCpu / lostWall < 2.0);
    vti->EndRemote();

    // (d) A Korotka that answers at once, and a technician clicking meanwhile.
    korotkasim::SimOptions instant;
    instant.timeScale = 0.0001;
    instant.leakMmHgPerMin = 0.0;
    korotkasim::Simulator fast{instant};
    if (!fast.Start(&error)) {
        std::fprintf(stderr, "the simulator did not start: %s\n", error.c_str());
        return 1;
    }
    environment.Ports()->Assign(1, QString::fromStdString(fast.SlavePath()));
    const auto quick = std::make_shared<korotka::CKorotkaVTI>();
    quick->StartRemote();
    constexpr int kReadingSeconds = 5;
    const std::size_t before = fast.CommandCount();
    const std::vector<double> instantClicks = StopClickLatencies(
        *guide, [&] { ReadGauge(*guide, quick, kReadingSeconds); }, 20);
    const double perSecond = static_cast<double>(fast.CommandCount() - before) / kReadingSeconds;
    quick->EndRemote();
    if (instantClicks.empty()) {
        std::fprintf(stderr, "no click reached the window while the gauge was read\n");
        return 1;
    }
    std::printf(
        "instant Korotka, %d s reading loop: %.1f commands/s; Stop click to StopTest (%zu clicks): "
        "median %.2f ms, max %.2f ms\n",
        kReadingSeconds, perSecond, instantClicks.size(), instantClicks[instantClicks.size() / 2],
        instantClicks.back());
    BenchFigure::Print(QStringLiteral("commands a second, instant Korotka"),
                       QStringLiteral("%1").arg(perSecond, 0, 'f', 1), QStringLiteral("<= 5"),
                       perSecond <= 5.0);
    BenchFigure::Print(QStringLiteral("click to handler, instant Korotka, max"),
                       QStringLiteral("%1 ms").arg(instantClicks.back(), 0, 'f', 2),
                       QStringLiteral("< 50 ms"), instantClicks.back() < 50.0);
    return 0;
}
