#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "MonkeyHand.h"

class MonkeyWatchdog;

namespace orvex {
class HostEnvironment;
class HostMainWindow;
class ITestElement;
}  // namespace orvex

// One seeded episode: a fresh host, simulator and main window with a random sequence of the
// four tests (shipped limits, random guide settings), some of them given a result first by a
// scripted technician, then one or two runs played by the MonkeyHand. After every run it checks
// what must hold whatever was pressed: a window that went left the line closed and quiet, a
// stored result agrees with itself and with how its window went, and a run that stored nothing
// kept the earlier result.
class MonkeyEpisode {
public:
    struct Options {
        double timeScale = 0.01;
    };
    struct Violation {
        QString invariant;
        QString detail;
    };
    // Checks made, by invariant.
    using Checks = std::map<QString, int>;

    MonkeyEpisode(uint32_t seed, const Options& options, MonkeyWatchdog& log);
    ~MonkeyEpisode();

    void Play();
    const std::vector<Violation>& Violations() const { return m_violations; }
    const Checks& Checked() const { return m_checks; }
    int Runs() const { return m_runs; }
    int Windows() const { return m_windows; }
    int Actions() const { return m_actions; }

private:
    struct Planned {
        int32_t testId;
        bool customDuration;
        int32_t duration;
        int32_t guideFlags;
    };
    struct Before {
        QString summary;
        QDateTime performed;
        bool hadResult;
    };

    void Plan();
    void Seed();
    void PlayRun();
    void CheckWindows(const std::vector<MonkeyHand::Window>& windows);
    void CheckResults(const std::vector<Before>& before, const std::vector<MonkeyHand::Window>& windows);
    // Why the stored result cannot be right after a window that went so; empty when it can.
    // earlier: the summary of the result before the run.
    QString Inconsistency(orvex::ITestElement& element, MonkeyHand::Ending ending,
                          const QString& earlier) const;
    // The result's status and readings, as the checks compare them.
    static QString Summary(orvex::ITestElement& element);
    void Check(const QString& invariant, bool held, const QString& detail);
    void Note(const QString& line);

    uint32_t m_seed;
    Options m_options;
    MonkeyWatchdog& m_log;
    std::mt19937 m_random;
    QTemporaryDir m_folder;
    std::vector<Planned> m_plan;
    std::unique_ptr<orvex::HostEnvironment> m_environment;
    std::unique_ptr<korotkasim::Simulator> m_simulator;
    std::unique_ptr<orvex::HostMainWindow> m_window;
    std::vector<Violation> m_violations;
    Checks m_checks;
    int m_runs = 0;
    int m_windows = 0;
    int m_actions = 0;
};
