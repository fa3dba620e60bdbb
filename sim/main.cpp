// korotka-sim: the simulated instrument on a pseudo-terminal, for demos, training and manual tests.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "sim/Simulator.h"

namespace {

using korotkasim::SimOptions;

constexpr int kUsageError = 2;

void PrintHelp() {
    std::cout <<
        R"(Usage: korotka-sim [options]

Simulates the NIBP simulator instrument on a pseudo-terminal (9600,N,8,1). Prints
"korotka-sim: listening on /dev/pts/N" as its first line, logs every command and
reply on stderr, and runs until SIGINT or SIGTERM.

Options:
  --link PATH           keep a symbolic link PATH -> the pseudo-terminal while running
                        (an existing symbolic link there is replaced; it is removed on exit)
  --delay MS            add MS milliseconds before every reply (0 to 60000, default 0)
  --pace                write replies byte by byte at the speed of a 9600 baud line
  --time-scale X        multiply every pump, vent and test time by X (default 1.0;
                        0.01 runs a 30 s test in 0.3 s)
  --fault NAME          misbehave: )"
              << korotkasim::FaultNames() << R"(
                          silence        never answer
                          nak            answer every command with NAK
                          garbage        answer with random bytes and CR LF
                          trickle        send replies in 3-byte pieces, 300 ms apart
                          no-crlf        leave CR LF off every reply
                          disconnect     hang up halfway through the next test reply
                          unreachable    never reach a pressure target (reply ERROR)
                          never-release  the monitor's relief valve never opens (reply 0)
  --serial TEXT         serial number reported by [BP_SERIAL] (default KT-0001234)
  --version-text TEXT   firmware version reported by [BP_VERSION] (default 2.10)
  --relief MMHG         pressure at which the monitor's relief valve opens (default 300)
  --leak MMHG_PER_MIN   leak of the cuff system (default 2)
  --help                show this text

Pressure arguments of [PSOURCE,p], [LEAK,p] and [RELIEF,p] are in mmHg; readings come
back in the unit chosen with [PRESS_UNITS_...].
)";
}

std::optional<double> ParseNumber(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int UsageError(const std::string& message) {
    std::cerr << "korotka-sim: " << message << " (see --help)\n";
    return kUsageError;
}

// Replaces a symbolic link of ours from an earlier run, but never a real file.
bool MakeLink(const std::string& link, const std::string& target) {
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            std::cerr << "korotka-sim: " << link << " exists and is not a symbolic link\n";
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        std::cerr << "korotka-sim: cannot link " << link << ": " << std::strerror(errno) << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string link;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--help") {
            PrintHelp();
            return 0;
        }
        if (option == "--pace") {
            options.pace = true;
            continue;
        }
        if (i + 1 >= argc) {
            return UsageError(option.starts_with("--") ? "missing value for " + std::string(option)
                                                       : "unknown argument " + std::string(option));
        }
        const std::string_view value = argv[++i];
        if (option == "--link") {
            link = value;
        } else if (option == "--delay") {
            const std::optional<int> ms = ParseInt(value);
            if (!ms) {
                return UsageError("--delay needs a whole number of milliseconds");
            }
            options.replyDelayMs = *ms;
        } else if (option == "--time-scale" || option == "--relief" || option == "--leak") {
            const std::optional<double> number = ParseNumber(value);
            if (!number) {
                return UsageError(std::string(option) + " needs a number");
            }
            if (option == "--time-scale") {
                options.timeScale = *number;
            } else if (option == "--relief") {
                options.reliefMmHg = *number;
            } else {
                options.leakMmHgPerMin = *number;
            }
        } else if (option == "--fault") {
            const std::optional<korotkasim::Fault> fault = korotkasim::FaultFromName(value);
            if (!fault) {
                return UsageError("unknown fault " + std::string(value) + "; one of " +
                                  korotkasim::FaultNames());
            }
            options.fault = *fault;
        } else if (option == "--serial") {
            options.serial = value;
        } else if (option == "--version-text") {
            options.firmware = value;
        } else {
            return UsageError("unknown option " + std::string(option));
        }
    }
    if (const std::string problem = korotkasim::CheckOptions(options); !problem.empty()) {
        return UsageError(problem);
    }
    options.log = [](std::string_view line) { std::cerr << line << std::endl; };

    // Block the stop signals before the simulator thread exists, so that only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    korotkasim::Simulator simulator(std::move(options));
    std::string error;
    if (!simulator.Start(&error)) {
        std::cerr << "korotka-sim: " << error << "\n";
        return 1;
    }
    if (!link.empty() && !MakeLink(link, simulator.SlavePath())) {
        return 1;
    }
    std::cout << "korotka-sim: listening on " << simulator.SlavePath() << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::cerr << "korotka-sim: stopping on signal " << signal << "\n";
    simulator.Stop();
    if (!link.empty()) {
        ::unlink(link.c_str());
    }
    return 0;
}
