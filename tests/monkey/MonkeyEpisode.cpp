#include "MonkeyEpisode.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <set>

#include "MonkeyWatchdog.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "host/visit/HostVerdict.h"
#include "hostapi/ComError.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestGuideSettings.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/elements/CTestBase.h"
#include "plugin/elements/FTestGuide.h"
#include "sim/Simulator.h"

using orvex::HostResultText;
using orvex::IResultData;
using orvex::MessageService;
using Ending = MonkeyHand::Ending;

namespace {

const QString kLineClosed = QStringLiteral("a window that went left the line closed");
const QString kLineQuiet = QStringLiteral("no command after a window went");
const QString kOffered = QStringLiteral("Skip and N/A offered only where the guide settings allow");
const QString kPreviousStays = QStringLiteral("no to a question of Previous keeps the window");
const QString kBoxHolds = QStringLiteral("a reading's box holds what was typed");
// Checks of the record read back from its file.
const QString kReadBack = QStringLiteral("record: the file reads back");
const QString kFileHolds = QStringLiteral("record: the file holds what the window shows");
const QString kSurvives = QStringLiteral("record: an earlier result survives a run that stored nothing");
const QString kConsistent = QStringLiteral("record: a result agrees with how its window went");
const QString kTyped = QStringLiteral("record: a typed reading is stored as typed");
const QString kVerdict = QStringLiteral("record: a verdict agrees with the limits in the file");
const QString kNotJudged = QStringLiteral("record: no test is passed without a judging limit");
const QString kUnitKept = QStringLiteral("record: readings and limits are in the visit's units");
const QString kDifference = QStringLiteral("record: a difference is that of its readings");
const QString kVanished = QStringLiteral("record: nothing measured vanished without a question");
const QString kRemoved =
    QStringLiteral("record: a test with a result is removed only when the answer is yes");
const QString kUndone = QStringLiteral("record: undo brings a removed test back as it was");

constexpr int kSeedingTimeoutSeconds = 15;
constexpr int kMostTests = 4;
constexpr int kMostActions = 20;
constexpr int kFewestActions = 3;
constexpr int kMostRuns = 3;

// The settings' pressure units in their order, as records name them, with the monkey's own idea
// of a millimetre of mercury in each and the decimals a person reads there.
struct Unit {
    const char* name;
    double perMmHg;
    int decimals;
};
constexpr std::array<Unit, 5> kUnits{{
    {"mmHg", 1.0, 0},
    {"kPa", 0.13332, 1},
    {"cmH2O", 1.3595, 0},
    {"inH2O", 0.53525, 0},
    {"PSI", 0.019337, 2},
}};
// A box takes a reading up to this far either way (1000 mmHg; beats per minute as they are).
constexpr double kFarthestMmHg = 1000.0;
const QString kHeartRateUnit = QStringLiteral("BPM");

// What a person might type where a reading belongs.
const std::array<const char*, 14> kNonsense{
    "1,000", "1.000", "abc",  "1e300",  "2.5e2", "-5",           "",
    " 12 ",  "nan",   "0x1F", "12.5.3", "-0",    "999999999999", "\xd9\xa1\xd9\xa2"};

const char* EndingName(Ending ending) {
    switch (ending) {
        case Ending::Next:
            return "Next";
        case Ending::Previous:
            return "Previous";
        case Ending::Skip:
            return "Skip";
        case Ending::NotApplicable:
            return "N/A";
        case Ending::Abort:
            return "Abort";
        case Ending::None:
            break;
    }
    return "nothing pressed";
}

bool HasValue(orvex::IMeasurement& measurement) {
    const orvex::Variant value = measurement.Value();
    return !value.IsEmpty() && !value.IsNull();
}

std::shared_ptr<orvex::IMeasurement> MeasurementOf(IResultData& result, const QString& key) {
    for (int32_t i = 1; i <= result.MeasurementCount(); ++i) {
        auto measurement = result.Measurement(orvex::Variant(i));
        if (measurement && measurement->Key() == key) return measurement;
    }
    return nullptr;
}

// "KEY=value" for every measurement that holds a value.
QStringList Readings(IResultData& result) {
    QStringList readings;
    for (int32_t i = 1; i <= result.MeasurementCount(); ++i) {
        const auto measurement = result.Measurement(orvex::Variant(i));
        if (measurement && HasValue(*measurement))
            readings << measurement->Key() + QLatin1Char('=') + HostResultText::Value(*measurement);
    }
    return readings;
}

QStringList ReadKeys(orvex::ITestElement& element) {
    QStringList keys;
    const auto result = element.Result();
    for (int32_t i = 1; result && i <= result->MeasurementCount(); ++i) {
        const auto measurement = result->Measurement(orvex::Variant(i));
        if (measurement && HasValue(*measurement)) keys << measurement->Key();
    }
    return keys;
}

}  // namespace

MonkeyEpisode::MonkeyEpisode(uint32_t seed, const Options& options, MonkeyWatchdog& log)
    : m_seed(seed), m_options(options), m_log(log), m_random(seed) {}

MonkeyEpisode::~MonkeyEpisode() {
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_simulator.reset();
    m_plugIn.reset();
    m_environment.reset();
}

int MonkeyEpisode::RecordChecks() const {
    int count = 0;
    for (const auto& [invariant, made] : m_checks) {
        if (invariant.startsWith(QLatin1String("record:"))) count += made;
    }
    return count;
}

void MonkeyEpisode::Play() {
    ChooseSettings();
    m_environment = std::make_unique<orvex::HostEnvironment>(orvex::HostMessageService::Mode::Record);
    const QString language = m_german ? QStringLiteral("German") : QStringLiteral("English");
    m_environment->ChooseLanguage(language);
    // Loaded as orvex loads it, so that it finds its files beside it.
    const QString library = QStringLiteral(KOROTKA_PLUGIN_LIBRARY);
    m_plugIn = orvex::HostKorotka::LoadPlugIn(*m_environment, library, language, nullptr);
    m_environment->Loader().Load(QStringLiteral("KorotkaVTI"),
                                 QFileInfo(library).path() + QStringLiteral("/liborvexKorotkaVTI.so"));

    korotkasim::SimOptions simulation;
    simulation.timeScale = m_options.timeScale;
    m_simulator = std::make_unique<korotkasim::Simulator>(simulation);
    std::string why;
    if (!m_simulator->Start(&why)) {
        m_violations.push_back({QStringLiteral("set-up"), QString::fromStdString(why)});
        return;
    }
    const orvex::HostMainWindow::Korotka korotka{QString::fromStdString(m_simulator->SlavePath()),
                                                 QString::fromStdString(simulation.serial),
                                                 QString::fromStdString(simulation.firmware), nullptr};
    m_window = std::make_unique<orvex::HostMainWindow>(*m_environment, m_plugIn, [korotka] {
        return orvex::HostResult<orvex::HostMainWindow::Korotka>(korotka);
    });
    m_window->show();

    Plan();
    // Half the visits have a file; the others keep their results in a recovery file.
    if (std::bernoulli_distribution(0.5)(m_random)) {
        const QString file = m_folder.filePath(QStringLiteral("visit.xml"));
        Note(QStringLiteral("saved as %1: %2").arg(file, m_window->SaveAs(file) ? "done" : "FAILED"));
    }
    if (std::bernoulli_distribution(0.75)(m_random)) Seed();
    const int runs = std::uniform_int_distribution<int>(1, kMostRuns)(m_random);
    for (int i = 0; i < runs; ++i) {
        if (i > 0 && std::bernoulli_distribution(0.4)(m_random)) RemoveAndUndo();
        if (!m_window->Sequence().Tests().isEmpty()) PlayRun();
    }
    Check(kLineClosed, m_simulator->ClientOpenCount() == 0,
          QStringLiteral("the line is open %1 times after the last run").arg(m_simulator->ClientOpenCount()));
}

void MonkeyEpisode::ChooseSettings() {
    m_pressureUnit = std::uniform_int_distribution<int32_t>(0, kUnits.size() - 1)(m_random);
    m_bpUnit = std::uniform_int_distribution<int32_t>(0, 1)(m_random);
    m_german = std::bernoulli_distribution(0.5)(m_random);
    // The host's settings are a file of the episode's own, holding the units new tests start in.
    const QString file = m_folder.filePath(QStringLiteral("Registry.ini"));
    {
        QSettings settings(file, QSettings::IniFormat);
        const QString key = QStringLiteral("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/");
        settings.setValue(key + QStringLiteral("PressureUnit"), m_pressureUnit);
        settings.setValue(key + QStringLiteral("BPUnit"), m_bpUnit);
    }
    qputenv("ORVEX_REGISTRY", file.toLocal8Bit());
    Note(QStringLiteral("pressure in %1, blood pressure in %2, %3")
             .arg(kUnits[m_pressureUnit].name, kUnits[m_bpUnit].name, m_german ? "German" : "English"));
}

void MonkeyEpisode::Plan() {
    const int count = std::uniform_int_distribution<int>(1, kMostTests)(m_random);
    QStringList planned;
    for (int i = 0; i < count; ++i) {
        Planned test{
            0, false, 0,
            std::uniform_int_distribution<int32_t>(0, orvex::TestGuideSettings::kNotApplicableAllowed |
                                                          orvex::TestGuideSettings::kSkipAllowed)(m_random)};
        switch (std::uniform_int_distribution<int>(0, 4)(m_random)) {
            case 0:
                test.testId = 300;
                break;
            case 1:
                test.testId = 100;
                break;
            case 2:
                // Timed by the element in real seconds: 0 runs until Stop.
                test.testId = 100;
                test.customDuration = true;
                test.duration = std::uniform_int_distribution<int32_t>(0, 3)(m_random);
                break;
            case 3:
                test.testId = 200;
                break;
            default:
                test.testId = std::uniform_int_distribution<int32_t>(401, 406)(m_random);
                break;
        }
        m_window->AddTest(test.testId);
        const auto element = m_window->Sequence().Tests().back();
        const auto configuration = element->Configuration();
        std::shared_ptr<orvex::TestGuideSettings> settings;
        if (const auto pressure = std::dynamic_pointer_cast<korotka::IKorotkaConfigPressure>(configuration))
            settings = pressure->TestGuideConfig();
        if (const auto bloodPressure = std::dynamic_pointer_cast<korotka::CConfigPBP>(configuration))
            settings = bloodPressure->TestGuideConfig();
        if (settings) settings->SetFlags(test.guideFlags);
        if (const auto leak = std::dynamic_pointer_cast<korotka::CConfigLeak>(configuration)) {
            leak->SetUseCustomDuration(test.customDuration);
            if (test.customDuration) leak->SetDuration(test.duration);
        }
        planned << QStringLiteral("%1%2 flags %3")
                       .arg(test.testId)
                       .arg(test.customDuration ? QStringLiteral(" custom %1 s").arg(test.duration)
                                                : QString())
                       .arg(test.guideFlags);
        m_plan.push_back(test);
    }
    Note(QStringLiteral("sequence: ") + planned.join(QStringLiteral(", ")));
}

// A careful technician gives the tests from a random position on a result, so that a later run
// has one to lose; it types its readings as the window's language writes them.
void MonkeyEpisode::Seed() {
    const int first = std::uniform_int_distribution<int>(0, static_cast<int>(m_plan.size()) - 1)(m_random);
    const std::vector<Before> before = Snapshot();
    std::map<qsizetype, Stored> typed;
    // The script line of each test's last reading typed.
    std::map<qsizetype, int> lastTyped;
    QString script;
    const auto type = [&](qsizetype position, const QString& key, double lowMmHg, double highMmHg) {
        const double factor = key == QLatin1String("HART") ? 1.0 : kUnits[m_bpUnit].perMmHg;
        const double scale = key == QLatin1String("STAT") ? kUnits[m_pressureUnit].perMmHg : factor;
        const double value = std::uniform_real_distribution<double>(lowMmHg, highMmHg)(m_random) * scale;
        const QString text = Number(value, std::uniform_int_distribution<int>(0, 2)(m_random));
        script += QStringLiteral("type %1 %2\n").arg(key, text);
        lastTyped[position] = static_cast<int>(script.count(QLatin1Char('\n')));
        typed[position].typed[key] = MonkeyJudge::Read(text, m_german, FarthestOf(key)).values;
    };
    for (size_t i = first; i < m_plan.size(); ++i) {
        const Planned& test = m_plan[i];
        const auto position = static_cast<qsizetype>(i);
        typed[position].ending = Ending::Next;
        typed[position].started = true;
        script += QStringLiteral("start\n");
        if (test.testId == 300) {
            script += QStringLiteral("readings 2\n");
            type(position, QStringLiteral("STAT"), 245, 255);
        } else if (test.testId == 100 && test.customDuration && test.duration == 0) {
            script += QStringLiteral("readings 3\nrest\n");
        } else {
            script += QStringLiteral("rest\n");
        }
        if (test.testId > 400) {
            type(position, QStringLiteral("SYST"), 100, 140);
            type(position, QStringLiteral("DIAS"), 60, 90);
            type(position, QStringLiteral("HART"), 55, 90);
            // A row for the mean only where the preset has one.
            const auto config = std::dynamic_pointer_cast<korotka::CConfigPBP>(
                m_window->Sequence().Tests()[position]->Configuration());
            const orvex::Variant mean =
                config ? config->ExpectedValue(QStringLiteral("MAPR")) : orvex::Variant();
            if (!mean.IsEmpty() && !mean.IsNull()) type(position, QStringLiteral("MAPR"), 70, 110);
        }
        // Kept if it failed.
        script += QStringLiteral("answer yes\nnext\n");
    }
    Note(QStringLiteral("seeding from test %1").arg(first + 1));
    orvex::HostScriptedTechnician technician(orvex::HostScript::Parse(script), m_environment->Messages(),
                                             kSeedingTimeoutSeconds);
    technician.Start();
    m_window->Select(first);
    m_window->findChild<QAction*>(QStringLiteral("1017"))->trigger();
    technician.Finish();
    QStringList seeded;
    std::map<qsizetype, Stored> stored;
    for (qsizetype i = 0; i < m_window->Sequence().Tests().size(); ++i) {
        if (m_window->Sequence().Performed(i).at == before[i].performed) continue;
        seeded << QString::number(i + 1);
        stored[i] = typed[i];
    }
    Note(QStringLiteral("seeded: tests %1%2")
             .arg(seeded.join(QLatin1Char(' ')),
                  technician.Failed() ? QStringLiteral(" (the technician: %1)").arg(technician.Failure())
                                      : QString()));
    // A technician that gave up at a line may have left the tests typed from there on half typed.
    if (technician.Failed()) {
        const QRegularExpressionMatch line =
            QRegularExpression(QStringLiteral("line (\\d+)")).match(technician.Failure());
        const int failedAt = line.hasMatch() ? line.captured(1).toInt() : 0;
        for (auto& [position, test] : stored) {
            if (lastTyped[position] >= failedAt) test.typed.clear();
        }
    }
    CheckRecord(before, stored);
}

std::vector<MonkeyEpisode::Before> MonkeyEpisode::Snapshot() {
    auto& sequence = m_window->Sequence();
    std::vector<Before> before;
    for (qsizetype i = 0; i < sequence.Tests().size(); ++i) {
        const auto& element = sequence.Tests()[i];
        const auto result = element->Result();
        // Only a result with a verdict is a record: one never judged keeps no reading in a file (a
        // measurement without a verdict is not written), and the sequence restores what a file keeps.
        before.push_back({Summary(*element), sequence.Performed(i).at, result && result->Status() != 0,
                          ReadKeys(*element)});
    }
    return before;
}

void MonkeyEpisode::PlayRun() {
    auto& sequence = m_window->Sequence();
    const std::vector<Before> before = Snapshot();
    MonkeyHand hand(m_random, *m_simulator, *m_environment->Messages(), m_log, m_options.timeScale);
    hand.Start(
        std::uniform_int_distribution<int>(kFewestActions, kMostActions)(m_random),
        [this](QWidget* guide) {
            const auto& tests = m_window->Sequence().Tests();
            for (qsizetype i = 0; i < tests.size(); ++i) {
                const auto test = std::dynamic_pointer_cast<korotka::CTestBase>(tests[i]);
                if (test && static_cast<QWidget*>(test->TestGuide().get()) == guide)
                    return static_cast<int>(i);
            }
            return -1;
        },
        [this](const QString& key) { return Reading(key); });
    // F5 runs from the selected test, Shift+F5 all of them.
    const bool fromSelected = std::bernoulli_distribution(0.5)(m_random);
    const int first =
        std::uniform_int_distribution<int>(0, static_cast<int>(sequence.Tests().size()) - 1)(m_random);
    m_window->Select(first);
    Note(fromSelected ? QStringLiteral("run from test %1").arg(first + 1) : QStringLiteral("run all"));
    m_window->findChild<QAction*>(fromSelected ? QStringLiteral("1017") : QStringLiteral("1018"))->trigger();
    hand.Finish();
    ++m_runs;
    m_windows += static_cast<int>(hand.Windows().size());
    m_actions += hand.Actions();
    m_yes += hand.Yes();
    m_no += hand.No();
    for (const MonkeyHand::Window& window : hand.Windows()) {
        m_yes += window.yes;
        m_no += window.no;
    }
    CheckWindows(hand.Windows());

    // What each test that stored a result was given: the window that stored it is the last of the
    // test that went before the result came.
    std::map<qsizetype, Stored> stored;
    for (qsizetype i = 0; i < sequence.Tests().size() && i < static_cast<qsizetype>(before.size()); ++i) {
        Stored test;
        const QDateTime performed = sequence.Performed(i).at;
        const bool storedNow = performed != before[i].performed;
        const MonkeyHand::Window* storing = nullptr;
        for (const MonkeyHand::Window& window : hand.Windows()) {
            if (window.position != i) continue;
            test.started |= window.starts > 0;
            test.answeredYes |= window.yes > 0;
            test.notApplicable |= window.hidden && window.ending == Ending::NotApplicable;
            // Performed is kept to the second: of the windows gone by then, the last that went on
            // (a window may go just after the click that sent it on: its ending is then none)
            // stored it, else the last.
            const auto goesOn = [](Ending ending) {
                return ending != Ending::Skip && ending != Ending::Abort && ending != Ending::Previous;
            };
            if (storedNow && window.hidden &&
                window.hiddenAt.toSecsSinceEpoch() <= performed.toSecsSinceEpoch() &&
                (storing == nullptr || goesOn(window.ending) || !goesOn(storing->ending)))
                storing = &window;
        }
        if (!storedNow) continue;
        if (storing != nullptr) {
            test.ending = storing->ending;
            for (const MonkeyHand::Window::Typing& typing : storing->typed) {
                auto found = test.typed.find(typing.key);
                const MonkeyJudge::Possible earlier =
                    found == test.typed.end() ? std::nullopt : found->second;
                test.typed[typing.key] = MonkeyJudge::After(
                    earlier, MonkeyJudge::Read(typing.text, m_german, FarthestOf(typing.key)));
            }
        }
        stored[i] = test;
    }
    CheckRecord(before, stored);
}

void MonkeyEpisode::RemoveAndUndo() {
    auto* remove = m_window->findChild<QAction*>(QStringLiteral("1012"));
    auto* undo = m_window->findChild<QAction*>(QStringLiteral("1024"));
    auto* save = m_window->findChild<QAction*>(QStringLiteral("1004"));
    auto& sequence = m_window->Sequence();
    if (remove == nullptr || undo == nullptr || save == nullptr || sequence.Tests().isEmpty()) return;
    const std::vector<Before> before = Snapshot();
    const int position =
        std::uniform_int_distribution<int>(0, static_cast<int>(sequence.Tests().size()) - 1)(m_random);
    // Anything told of the equipment: a verdict, not applicable, a reading.
    const bool holds = before[position].hadResult || !before[position].readKeys.isEmpty();
    int yes = 0;
    int asked = 0;
    m_environment->Messages()->SetQuestionHandler([&](const orvex::HostMessageService::Message& message) {
        ++asked;
        const bool agree = std::bernoulli_distribution(0.6)(m_random);
        yes += agree ? 1 : 0;
        Note(QStringLiteral("asked \"%1\": %2").arg(message.text.left(60), agree ? "yes" : "no"));
        return agree ? MessageService::Answer::Yes : MessageService::Answer::No;
    });
    m_window->Select(position);
    remove->trigger();
    const bool removed = sequence.Tests().size() == static_cast<qsizetype>(before.size()) - 1;
    Note(QStringLiteral("remove test %1%2: %3")
             .arg(position + 1)
             .arg(holds ? " (holds a result)" : "")
             .arg(removed ? "removed" : "kept"));
    m_yes += yes;
    m_no += asked - yes;
    Check(kRemoved, removed == (!holds || yes > 0),
          QStringLiteral("test %1 %2 a result was %3 after %4 questions answered yes of %5")
              .arg(position + 1)
              .arg(holds ? "holding" : "without")
              .arg(removed ? "removed" : "kept")
              .arg(yes)
              .arg(asked));
    if (removed && std::bernoulli_distribution(0.6)(m_random)) {
        undo->trigger();
        const bool back = sequence.Tests().size() == static_cast<qsizetype>(before.size()) &&
                          Summary(*sequence.Tests()[position]) == before[position].summary &&
                          // The file keeps the time to the second.
                          sequence.Performed(position).at.toSecsSinceEpoch() ==
                              before[position].performed.toSecsSinceEpoch();
        Note(QStringLiteral("undo: %1").arg(back ? "back" : "NOT BACK"));
        Check(
            kUndone, back,
            QStringLiteral("test %1 was %2 before its removal and is %3 after Undo")
                .arg(position + 1)
                .arg(before[position].summary,
                     sequence.Tests().size() > position ? Summary(*sequence.Tests()[position]) : QString()));
    } else if (removed) {
        m_plan.erase(m_plan.begin() + position);
    }
    m_environment->Messages()->SetQuestionHandler(nullptr);
    // The edit reaches the file when it is saved; an untitled visit would ask where.
    if (!m_window->FileName().isEmpty()) {
        save->trigger();
        CheckRecord(Snapshot(), {});
    }
}

void MonkeyEpisode::CheckWindows(const std::vector<MonkeyHand::Window>& windows) {
    for (const MonkeyHand::Window& window : windows) {
        if (window.position >= 0 && window.position < static_cast<int>(m_plan.size())) {
            const int32_t flags = m_plan[window.position].guideFlags;
            Check(kOffered, !window.skipOffered || (flags & orvex::TestGuideSettings::kSkipAllowed) != 0,
                  QStringLiteral("test %1 offered Skip with guide flags %2")
                      .arg(window.position + 1)
                      .arg(flags));
            Check(kOffered,
                  !window.notApplicableOffered ||
                      (flags & orvex::TestGuideSettings::kNotApplicableAllowed) != 0,
                  QStringLiteral("test %1 offered N/A with guide flags %2")
                      .arg(window.position + 1)
                      .arg(flags));
        }
        if (window.declinedPrevious > 0) {
            Check(kPreviousStays, !window.wentDespiteNo,
                  QStringLiteral("the window of test %1 went back after no was answered")
                      .arg(window.position + 1));
        }
        if (window.typings > 0) {
            Check(kBoxHolds, window.altered.isEmpty(),
                  QStringLiteral("test %1: %2").arg(window.position + 1).arg(window.altered.join(", ")));
        }
        if (!window.hidden) continue;
        const QString which = QStringLiteral("the window of test %1 went by %2")
                                  .arg(window.position + 1)
                                  .arg(EndingName(window.ending));
        Check(kLineClosed, window.openAtHide == 0,
              QStringLiteral("%1 while the line was open %2 times").arg(which).arg(window.openAtHide));
        Check(kLineQuiet, window.commandsAfter == window.commandsAtHide,
              QStringLiteral("%1; %2 commands reached the instrument afterwards")
                  .arg(which)
                  .arg(window.commandsAfter - window.commandsAtHide));
    }
}

void MonkeyEpisode::CheckRecord(const std::vector<Before>& before,
                                const std::map<qsizetype, Stored>& stored) {
    // An untitled visit that never saved has no record yet.
    const QString file = m_window->RecoveryFile().isEmpty() ? m_window->FileName() : m_window->RecoveryFile();
    if (file.isEmpty()) return;
    orvex::HostSequence record(m_plugIn);
    try {
        record.Load(file);
    } catch (const std::exception& error) {
        Check(kReadBack, false, QStringLiteral("%1: %2").arg(file, QString::fromUtf8(error.what())));
        return;
    }
    const auto& shown = m_window->Sequence().Tests();
    Check(kFileHolds, record.Tests().size() == shown.size(),
          QStringLiteral("%1 tests in the file, %2 in the window")
              .arg(record.Tests().size())
              .arg(shown.size()));
    for (qsizetype i = 0; i < record.Tests().size() && i < shown.size(); ++i) {
        auto& element = *record.Tests()[i];
        Check(kFileHolds, Summary(element) == Summary(*shown[i]),
              QStringLiteral("test %1 is %2 in the file, %3 in the window")
                  .arg(i + 1)
                  .arg(Summary(element), Summary(*shown[i])));
        if (i >= static_cast<qsizetype>(before.size())) continue;
        const auto found = stored.find(i);
        CheckTest(element, i, before[i], found == stored.end() ? nullptr : &found->second);
    }
}

void MonkeyEpisode::CheckTest(orvex::ITestElement& element, qsizetype position, const Before& before,
                              const Stored* stored) {
    const QString test = QStringLiteral("test %1 (%2)").arg(position + 1).arg(element.TestID());
    const QString summary = Summary(element);
    if (stored == nullptr) {
        if (before.hadResult) {
            Check(kSurvives, summary == before.summary,
                  QStringLiteral("%1 stored nothing, and its result went from %2 to %3")
                      .arg(test, before.summary, summary));
        }
        return;
    }
    const auto result = element.Result();
    const int32_t status = result ? result->Status() : IResultData::kNotEvaluated;
    const QStringList readings = result ? Readings(*result) : QStringList();
    const QString ending = EndingName(stored->ending);

    // How the window went.
    QString problem;
    // Skip and Abort store nothing new (the time it was performed may move on).
    if ((stored->ending == Ending::Skip || stored->ending == Ending::Abort) && summary != before.summary) {
        problem = QStringLiteral("a result was stored, before it was ") + before.summary;
    } else if (stored->ending == Ending::NotApplicable && status != IResultData::kNotApplicable) {
        problem = QStringLiteral("not applicable was pressed");
    } else if (status == IResultData::kNotApplicable && !readings.isEmpty()) {
        problem = QStringLiteral("not applicable with readings");
    } else if (status == IResultData::kPassed && readings.isEmpty()) {
        problem = QStringLiteral("passed without a reading");
    }
    Check(kConsistent, problem.isEmpty(),
          QStringLiteral("%1, its window gone by %2: %3: %4").arg(test, ending, problem, summary));

    // Nothing measured is lost but by the monkey's own doing: a new measurement, not applicable, a
    // reading typed empty, or a question it said yes to.
    const QStringList now = ReadKeys(element);
    for (const QString& key : before.readKeys) {
        const auto typed = stored->typed.find(key);
        const bool owned = stored->started || stored->answeredYes || stored->notApplicable ||
                           (typed != stored->typed.end() &&
                            (!typed->second || std::find(typed->second->begin(), typed->second->end(),
                                                         std::nullopt) != typed->second->end()));
        Check(
            kVanished, now.contains(key) || owned,
            QStringLiteral("%1 held %2 before, its window gone by %3 without a question answered yes; now %4")
                .arg(test, key, ending, summary));
    }

    // Each reading typed is the number the monkey meant.
    for (const auto& [key, possible] : stored->typed) {
        // A result without a verdict keeps no reading in its file.
        if (!possible || !result || (status != IResultData::kPassed && status != IResultData::kFailed))
            continue;
        const auto measurement = MeasurementOf(*result, key);
        const orvex::Variant value = measurement ? measurement->Value() : orvex::Variant();
        Check(kTyped, MonkeyJudge::Holds(possible, value),
              QStringLiteral("%1: %2 typed as %3 is stored as %4")
                  .arg(test, key, MonkeyJudge::Describe(possible),
                       value.IsEmpty() ? QStringLiteral("nothing") : value.ToString()));
    }

    if (!result || (status != IResultData::kPassed && status != IResultData::kFailed)) return;

    // Every reading and limit in the visit's units.
    for (int32_t m = 1; m <= result->MeasurementCount(); ++m) {
        const auto measurement = result->Measurement(orvex::Variant(m));
        if (!measurement || !HasValue(*measurement)) continue;
        const QString unit = UnitOf(measurement->Key());
        if (unit.isEmpty()) continue;
        Check(kUnitKept, measurement->Unit() == unit,
              QStringLiteral("%1: %2 is stored in %3, not %4")
                  .arg(test, measurement->Key(), measurement->Unit(), unit));
    }
    const MonkeyJudge::Earned earned = MonkeyJudge::Judge(element);
    Check(kUnitKept, earned.unitMismatch.isEmpty(),
          test + QStringLiteral(": ") + earned.unitMismatch.join(", "));

    // The difference is the two readings' own, to their decimals.
    const auto stat = MeasurementOf(*result, QStringLiteral("STAT"));
    const auto mano = MeasurementOf(*result, QStringLiteral("MANO"));
    const auto diff = MeasurementOf(*result, QStringLiteral("DIFF"));
    if (stat && mano && diff && HasValue(*stat) && HasValue(*mano)) {
        const auto a = MonkeyJudge::Number(stat->Value());
        const auto b = MonkeyJudge::Number(mano->Value());
        const auto d = MonkeyJudge::Number(diff->Value());
        if (a && b) {
            const double scale =
                std::pow(10.0, std::max(MonkeyJudge::Decimals(*a), MonkeyJudge::Decimals(*b)));
            const double expected = std::round((*a - *b) * scale) / scale;
            Check(kDifference, d && static_cast<float>(*d) == static_cast<float>(expected),
                  QStringLiteral("%1: %2 - %3 is stored as %4, not %5")
                      .arg(test)
                      .arg(*a)
                      .arg(*b)
                      .arg(diff->Value().ToString())
                      .arg(expected));
        }
    }

    // The verdict by the monkey's arithmetic on the file's limits.
    if (earned.unknown.isEmpty()) {
        QString wrong;
        if (status == IResultData::kFailed && earned.failing.isEmpty() && !earned.atBound)
            wrong = QStringLiteral("failed, yet no reading is beyond a bound");
        if (status == IResultData::kPassed && !earned.failing.isEmpty())
            wrong = QStringLiteral("passed, yet ") + earned.failing.join(", ");
        if (status == IResultData::kPassed && !earned.unread.isEmpty())
            wrong = QStringLiteral("passed without a reading for ") + earned.unread.join(", ");
        Check(kVerdict, wrong.isEmpty(), QStringLiteral("%1: %2: %3").arg(test, wrong, summary));
    }
    const QString word = orvex::HostVerdict::TestWord(element);
    if (status == IResultData::kPassed) {
        const QString expected =
            earned.judged ? HostResultText::StatusWord(IResultData::kPassed) : orvex::HostVerdict::kNotJudged;
        Check(kNotJudged, word == expected,
              QStringLiteral("%1 is called %2, its readings %3 by a limit: %4")
                  .arg(test, word, earned.judged ? "judged" : "judged by no limit", summary));
    }
}

QString MonkeyEpisode::UnitOf(const QString& key) const {
    if (key == QLatin1String("HART")) return kHeartRateUnit;
    if (key == QLatin1String("SYST") || key == QLatin1String("DIAS") || key == QLatin1String("MAPR"))
        return QString::fromLatin1(kUnits[m_bpUnit].name);
    if (key == QLatin1String("RATE"))
        return QString::fromLatin1(kUnits[m_pressureUnit].name) + QStringLiteral("/min");
    if (key == QLatin1String("STAT") || key == QLatin1String("MANO") || key == QLatin1String("DIFF") ||
        key == QLatin1String("PEAK"))
        return QString::fromLatin1(kUnits[m_pressureUnit].name);
    return {};
}

double MonkeyEpisode::FarthestOf(const QString& key) const {
    if (key == QLatin1String("HART")) return kFarthestMmHg;
    const bool blood =
        key == QLatin1String("SYST") || key == QLatin1String("DIAS") || key == QLatin1String("MAPR");
    return kFarthestMmHg * kUnits[blood ? m_bpUnit : m_pressureUnit].perMmHg;
}

QString MonkeyEpisode::Reading(const QString& key) {
    if (std::bernoulli_distribution(0.3)(m_random))
        return QString::fromUtf8(
            kNonsense[std::uniform_int_distribution<size_t>(0, kNonsense.size() - 1)(m_random)]);
    // Well within the farthest a box takes: what a gauge or monitor may show.
    const double value = std::uniform_real_distribution<double>(0.0, FarthestOf(key) * 0.4)(m_random);
    return Number(value, std::uniform_int_distribution<int>(0, 2)(m_random));
}

QString MonkeyEpisode::Number(double value, int decimals) const {
    QString text = QString::number(value, 'f', decimals);
    if (m_german) text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString MonkeyEpisode::Summary(orvex::ITestElement& element) {
    const auto result = element.Result();
    if (!result) return QStringLiteral("no result");
    return QStringLiteral("status %1, readings [%2]")
        .arg(result->Status())
        .arg(Readings(*result).join(QStringLiteral(", ")));
}

void MonkeyEpisode::Check(const QString& invariant, bool held, const QString& detail) {
    ++m_checks[invariant];
    if (held) return;
    m_violations.push_back({invariant, detail});
    Note(QStringLiteral("VIOLATED: ") + invariant);
}

void MonkeyEpisode::Note(const QString& line) { m_log.Note(line.toStdString()); }
