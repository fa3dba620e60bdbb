#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "MonkeyHand.h"
#include "MonkeyJudge.h"

class MonkeyWatchdog;

namespace orvex {
class HostEnvironment;
class HostMainWindow;
class IPlugIn;
class ITestElement;
}  // namespace orvex

// One seeded episode: a fresh host, simulator and main window in a random pressure unit and
// blood-pressure unit, in English or German, with a random sequence of the four tests (shipped
// limits, random guide settings), saved to a file or left untitled (its results then go to a
// recovery file); some tests given a result first by a scripted technician, then one to three
// runs played by the MonkeyHand, and between them a test removed (asked first when it holds a
// result) and perhaps put back by Edit > Undo. After every step it checks what must hold whatever
// was pressed: a window that went left the line closed and quiet; and the record, read back from
// its file by the host's own loader, against what the monkey saw and did, judged by MonkeyJudge's
// rules rather than by the product's.
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
    // Checks made of a record read back from its file.
    int RecordChecks() const;
    // Questions answered yes and no.
    int Yes() const { return m_yes; }
    int No() const { return m_no; }

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
        QStringList readKeys;
    };
    // How a test came to store its result in a step, and what it was given.
    struct Stored {
        MonkeyHand::Ending ending = MonkeyHand::Ending::None;
        // What each typed reading may hold.
        std::map<QString, MonkeyJudge::Possible> typed;
        // The monkey emptied the readings (Start), said yes to a question or typed at these keys.
        bool started = false;
        bool answeredYes = false;
        // A window of the test in the same run went by N/A.
        bool notApplicable = false;
    };

    void ChooseSettings();
    void Plan();
    void Seed();
    void PlayRun();
    // Removes a random test, answering the question either way, and perhaps undoes it.
    void RemoveAndUndo();
    std::vector<Before> Snapshot();
    void CheckWindows(const std::vector<MonkeyHand::Window>& windows);
    // Reads the record back from the file the window saved to and checks it; stored: the tests
    // (by position) that stored a result since before.
    void CheckRecord(const std::vector<Before>& before, const std::map<qsizetype, Stored>& stored);
    void CheckTest(orvex::ITestElement& element, qsizetype position, const Before& before,
                   const Stored* stored);
    // What the readings of a key are in this episode, and the largest a reading may be there.
    QString UnitOf(const QString& key) const;
    double FarthestOf(const QString& key) const;
    // A reading of the key as a person types it in the window's language, now and then nonsense.
    QString Reading(const QString& key);
    QString Number(double value, int decimals) const;
    // The result's status and readings, as the checks compare them.
    static QString Summary(orvex::ITestElement& element);
    void Check(const QString& invariant, bool held, const QString& detail);
    void Note(const QString& line);

    uint32_t m_seed;
    Options m_options;
    int32_t m_pressureUnit = 0;
    int32_t m_bpUnit = 0;
    bool m_german = false;
    std::shared_ptr<orvex::IPlugIn> m_plugIn;
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
    int m_yes = 0;
    int m_no = 0;
};
