// Figures of the serial channel on a pseudo-terminal:
//  (a) latency from the last byte of a reply written on the line to Receive returning;
//  (b) CPU time Receive spends in a 5-second silent wait.
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

#include "BenchFigure.h"
#include "driver/CChannel.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPortTable.h"
#include "hostapi/HostServices.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);

    auto ports = std::make_shared<orvex::HostPortTable>();
    ports->Assign(1, QString::fromLocal8Bit(name));
    orvex::HostServices::SetPorts(ports);
    orvex::HostServices::SetLanguage(std::make_shared<orvex::HostLanguageService>());
    auto messages = std::make_shared<orvex::HostMessageService>(orvex::HostMessageService::Mode::Console);
    messages->SetConsoleOutput([](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); });
    orvex::HostServices::SetMessages(messages);

    korotka::CChannel channel;
    channel.Open(1, QStringLiteral("9600,N,8,1"));

    // (a) The writer thread answers each command after a short pause and notes when its last
    // byte left; the main thread notes when Receive handed the reply back.
    constexpr int kReplies = 500;
    const char reply[] = "\x06  250.0mmHg\r\n";
    std::vector<double> latencyUs;
    latencyUs.reserve(kReplies);
    for (int i = 0; i < kReplies; ++i) {
        std::atomic<int64_t> writtenAt{0};
        std::thread writer([&] {
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            ssize_t n = write(master, reply, sizeof reply - 1);
            writtenAt = Clock::now().time_since_epoch().count();
            (void)n;
        });
        channel.Send(QStringLiteral("[GAUGE]"));
        const QString got = channel.Receive();
        const int64_t returnedAt = Clock::now().time_since_epoch().count();
        writer.join();
        char drain[64];
        while (read(master, drain, sizeof drain) == static_cast<ssize_t>(sizeof drain)) {
        }
        if (got.size() != static_cast<qsizetype>(sizeof reply - 3)) {
            std::fprintf(stderr, "reply %d came back wrong\n", i);
            return 1;
        }
        latencyUs.push_back(static_cast<double>(returnedAt - writtenAt.load()) / 1000.0);
    }
    std::printf(
        "(a) reply latency over %d replies: median %.1f us, p99 %.1f us, max %.1f us (goal: < 1000 us)\n",
        kReplies, Percentile(latencyUs, 0.5), Percentile(latencyUs, 0.99), Percentile(latencyUs, 1.0));
    BenchFigure::Print(QStringLiteral("reply latency, p99"),
                       QStringLiteral("%1 us").arg(Percentile(latencyUs, 0.99), 0, 'f', 1),
                       QStringLiteral("< 1000 us"), Percentile(latencyUs, 0.99) < 1000.0);

    // (b) Five silent receive windows in a row.
    const double cpu0 = CpuSeconds();
    const auto wall0 = Clock::now();
    for (int i = 0; i < 5; ++i) channel.Receive();
    const double cpu = CpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    std::printf("(b) silent wait: %.2f s wall, %.4f s CPU = %.3f %% of one core (goal: < 2 %%)\n", wall, cpu,
                100.0 * cpu / wall);
    BenchFigure::Print(QStringLiteral("CPU of a silent receive wait"),
                       QStringLiteral("%1 %").arg(100.0 * cpu / wall, 0, 'f', 3),
                       QStringLiteral("< 2 % of a core"), 100.0 * cpu / wall < 2.0);

    channel.Close();
    close(slave);
    close(master);
    return 0;
}
