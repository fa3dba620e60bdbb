// Seeded random episodes against the real guide windows and main window; see MonkeyEpisode.
//   monkey [--episodes N] [--seed S] [--least-checks N] [--bound SECONDS] [--time-scale X] [--trace 1]
// Episode i plays seed S+i; "--seed S --episodes 1" replays the episode of seed S (the same
// choices; the moments depend on the machine). Exit status 1 when an invariant broke or fewer
// records were checked than --least-checks asks (a monkey that checks nothing proves nothing),
// 3 on a hang.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <random>
#include <string>

#include "MonkeyEpisode.h"
#include "MonkeyWatchdog.h"

namespace {

struct Arguments {
    long episodes = 20;
    uint32_t seed = std::random_device{}();
    long leastChecks = 0;
    double boundSeconds = 120.0;
    double timeScale = 0.01;
    // Every episode's actions, not only those of an episode that broke an invariant.
    bool trace = false;
};

bool Parse(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        char* end = nullptr;
        const char* text = argv[i + 1];
        if (name == "--episodes") {
            arguments.episodes = std::strtol(text, &end, 10);
        } else if (name == "--seed") {
            arguments.seed = static_cast<uint32_t>(std::strtoul(text, &end, 10));
        } else if (name == "--least-checks") {
            arguments.leastChecks = std::strtol(text, &end, 10);
        } else if (name == "--bound") {
            arguments.boundSeconds = std::strtod(text, &end);
        } else if (name == "--trace") {
            arguments.trace = std::strtol(text, &end, 10) != 0;
        } else if (name == "--time-scale") {
            arguments.timeScale = std::strtod(text, &end);
        } else {
            return false;
        }
        if (end == text || *end != '\0') return false;
    }
    return argc % 2 == 1 && arguments.episodes > 0 && arguments.boundSeconds > 0 && arguments.timeScale > 0 &&
           arguments.timeScale <= 1.0 && arguments.leastChecks >= 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    // The recovery files of the runs stay out of the user's own state folder.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    Arguments arguments;
    if (!Parse(argc, argv, arguments)) {
        std::fprintf(stderr,
                     "usage: monkey [--episodes N] [--seed S] [--least-checks N] [--bound SECONDS] "
                     "[--time-scale X] [--trace 1]\n");
        return 2;
    }
    std::printf("monkey: seeds from %u, time scale %g\n", arguments.seed, arguments.timeScale);
    MonkeyWatchdog watchdog;
    QElapsedTimer clock;
    clock.start();
    std::map<QString, std::pair<int, int>> checks;  // made, broken
    long played = 0;
    int runs = 0;
    int windows = 0;
    int actions = 0;
    long recordChecks = 0;
    long yes = 0;
    long no = 0;
    QStringList broken;
    for (; played < arguments.episodes; ++played) {
        const uint32_t seed = arguments.seed + static_cast<uint32_t>(played);
        watchdog.Arm(seed, static_cast<int>(arguments.boundSeconds * 1000));
        MonkeyEpisode episode(seed, {arguments.timeScale}, watchdog);
        episode.Play();
        watchdog.Disarm();
        runs += episode.Runs();
        windows += episode.Windows();
        actions += episode.Actions();
        recordChecks += episode.RecordChecks();
        yes += episode.Yes();
        no += episode.No();
        for (const auto& [invariant, count] : episode.Checked()) checks[invariant].first += count;
        std::printf(
            "episode %ld, seed %u: %d runs, %d windows, %d actions, answered %d yes %d no, "
            "%d record checks, %s\n",
            played + 1, seed, episode.Runs(), episode.Windows(), episode.Actions(), episode.Yes(),
            episode.No(), episode.RecordChecks(), episode.Violations().empty() ? "ok" : "BROKEN");
        std::fflush(stdout);
        if (arguments.trace && episode.Violations().empty()) {
            for (const std::string& line : watchdog.Trace()) std::printf("  %s\n", line.c_str());
        }
        if (episode.Violations().empty()) continue;
        broken << QString::number(seed);
        for (const MonkeyEpisode::Violation& violation : episode.Violations()) {
            ++checks[violation.invariant].second;
            std::fprintf(stderr, "VIOLATION seed %u: %s: %s\n", seed, qUtf8Printable(violation.invariant),
                         qUtf8Printable(violation.detail));
        }
        for (const std::string& line : watchdog.Trace()) std::fprintf(stderr, "  %s\n", line.c_str());
        std::fprintf(stderr, "replay: monkey --seed %u --episodes 1\n", seed);
        std::fflush(stderr);
    }
    std::printf(
        "monkey: %ld episodes in %.1f s: %d runs, %d guide windows, %d actions, questions answered "
        "%ld yes and %ld no, %ld record checks\n",
        played, static_cast<double>(clock.elapsed()) / 1000.0, runs, windows, actions, yes, no, recordChecks);
    for (const auto& [invariant, counts] : checks)
        std::printf("  %-55s checked %5d, broken %d\n", qUtf8Printable(invariant), counts.first,
                    counts.second);
    if (!broken.isEmpty())
        std::printf("monkey: %lld episodes broke an invariant, seeds %s\n",
                    static_cast<long long>(broken.size()), qUtf8Printable(broken.join(QLatin1Char(' '))));
    const bool enough = recordChecks >= arguments.leastChecks;
    if (!enough)
        std::printf("monkey: %ld record checks, fewer than the %ld asked for\n", recordChecks,
                    arguments.leastChecks);
    return broken.isEmpty() && enough ? 0 : 1;
}
