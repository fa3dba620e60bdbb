// A soak: 1,000 static pressure runs in a row in one process, as `orvex run --auto` performs them,
// against the simulated Korotka at time scale 0.01 (the pump and the gauge a hundred times faster;
// the technician, the windows and the line as they are). Figures: resident memory and open file
// descriptors after 10 warm-up runs and after the last run (goal: flat), and runs per second.
#include <QDir>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "BenchFigure.h"
#include "BenchHost.h"
#include "host/records/HostPerformContext.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "host/visit/HostSequence.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "sim/Simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 1000;
constexpr int kWarmUp = 10;
// A leak of a kilobyte a run would show as a megabyte; what the allocator keeps back does not.
constexpr double kFlatMiB = 4.0;

double ResidentMiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int OpenDescriptors() {
    // The listing's own descriptor is not counted.
    return static_cast<int>(
               QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size()) -
           1;
}

// One run of the sequence, played by a scripted technician; false when it did not end as a passed
// test with its result stored.
bool Run(orvex::HostEnvironment& environment, orvex::HostSequence& sequence,
         const orvex::HostScript& script) {
    const auto context = std::make_shared<orvex::HostPerformContext>();
    orvex::HostScriptedTechnician technician(script, environment.Messages(), 60);
    technician.Start();
    const auto outcome = sequence.Perform(context, [&technician] { return technician.Failed(); });
    technician.Finish();
    environment.Messages()->Clear();
    const auto result = sequence.Tests().front()->Result();
    if (technician.Failed()) std::fprintf(stderr, "%s\n", qPrintable(technician.Failure()));
    return !technician.Failed() && outcome == orvex::HostSequence::Outcome::Completed && result &&
           result->Status() == orvex::IResultData::kPassed && context->StoredResults().size() == 1;
}

}  // namespace

int main(int argc, char** argv) {
    BenchHost host(argc, argv);
    orvex::HostEnvironment& environment = host.Environment();
    const auto plugIn = host.LoadPlugIn();

    korotkasim::SimOptions options;
    options.timeScale = 0.01;
    korotkasim::Simulator sim{options};
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "the simulator did not start: %s\n", error.c_str());
        return 1;
    }
    environment.Ports()->Assign(1, QString::fromStdString(sim.SlavePath()));
    environment.Instruments()->Assign(
        1, {orvex::HostKorotka::kName, QStringLiteral("KT-0001234"), QStringLiteral("2.10"), 1});

    orvex::HostSequence sequence(plugIn);
    sequence.Append(300);
    const auto script = orvex::HostScript::Parse(QStringLiteral("start\nreadings 1\ntype STAT 251\nnext\n"));

    double rssBefore = 0.0;
    int fdsBefore = 0;
    Clock::time_point start;
    for (int run = 1; run <= kRuns; ++run) {
        if (!Run(environment, sequence, script)) {
            std::fprintf(stderr, "run %d did not pass\n", run);
            return 1;
        }
        if (run % 100 == 0) std::fprintf(stderr, "%d runs\n", run);
        if (run == kWarmUp) {
            rssBefore = ResidentMiB();
            fdsBefore = OpenDescriptors();
            start = Clock::now();
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double rssAfter = ResidentMiB();
    const int fdsAfter = OpenDescriptors();
    const double perSecond = (kRuns - kWarmUp) / seconds;
    std::printf(
        "%d static pressure runs: resident %.1f MiB after %d, %.1f MiB after %d; open descriptors %d, then "
        "%d; "
        "%.2f runs/s\n",
        kRuns, rssBefore, kWarmUp, rssAfter, kRuns, fdsBefore, fdsAfter, perSecond);
    BenchFigure::Print(QStringLiteral("soak: resident memory, run %1 -> %2").arg(kWarmUp).arg(kRuns),
                       QStringLiteral("%1 -> %2 MiB").arg(rssBefore, 0, 'f', 1).arg(rssAfter, 0, 'f', 1),
                       QStringLiteral("flat (< %1 MiB more)").arg(kFlatMiB), rssAfter - rssBefore < kFlatMiB);
    BenchFigure::Print(QStringLiteral("soak: open file descriptors, run %1 -> %2").arg(kWarmUp).arg(kRuns),
                       QStringLiteral("%1 -> %2").arg(fdsBefore).arg(fdsAfter), QStringLiteral("flat"),
                       fdsAfter <= fdsBefore);
    BenchFigure::Print(QStringLiteral("soak: static pressure runs per second"),
                       QString::number(perSecond, 'f', 2));
    return 0;
}
