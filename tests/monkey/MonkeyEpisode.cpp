#include "MonkeyEpisode.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include "MonkeyWatchdog.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IConfigData.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/TestGuideSettings.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/IKorotkaConfigPressure.h"
#include "plugin/elements/CTestBase.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/measure/CMeasurement.h"
#include "sim/Simulator.h"

using orvex::HostResultText;
using Ending = MonkeyHand::Ending;

namespace {

const QString kLineClosed = QStringLiteral("a window that went left the line closed");
const QString kLineQuiet = QStringLiteral("no command after a window went");
const QString kConsistent = QStringLiteral("a stored result is consistent");
const QString kOffered = QStringLiteral("Skip and N/A offered only where the guide settings allow");
const QString kSurvives = QStringLiteral("an earlier result survives a run that stored nothing");

constexpr int kSeedingTimeoutSeconds = 15;
constexpr int kMostTests = 4;
constexpr int kMostActions = 20;
constexpr int kFewestActions = 3;

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

// "KEY=value" for every measurement that holds a value.
QStringList Readings(orvex::IResultData& result) {
    QStringList readings;
    for (int32_t i = 1; i <= result.MeasurementCount(); ++i) {
        const auto measurement = result.Measurement(orvex::Variant(i));
        if (!measurement) continue;
        const QString value = HostResultText::Value(*measurement);
        if (!value.isEmpty()) readings << measurement->Key() + QLatin1Char('=') + value;
    }
    return readings;
}

// Judged as the standards judge it: beyond an enabled limit, a release that did not happen, or a
// value no limit can read.
bool Fails(orvex::IMeasurement& measurement, const orvex::StandardList* standards) {
    const orvex::Variant value = measurement.Value();
    if (value.IsEmpty() || value.IsNull()) return false;
    if (measurement.ValueType() == korotka::CMeasurement::kTypeYesNo) return !value.ToBoolean();
    const std::optional<double> number = HostResultText::Number(value);
    for (int32_t i = 1; standards != nullptr && i <= standards->Count(); ++i) {
        const auto standard = standards->Item(i);
        bool limited = false;
        for (int32_t j = 1; j <= standard->Count(); ++j) {
            const auto entry = standard->Item(j);
            limited = limited ||
                      (entry->Key() == measurement.LimitKey() &&
                       (entry->Enabled(orvex::LimitEntry::kHigh) || entry->Enabled(orvex::LimitEntry::kLow)));
        }
        if (!limited) continue;
        if (!number) return true;
        try {
            if (standard->Evaluate(measurement.LimitKey(), static_cast<float>(*number),
                                   measurement.PresetValue()) == orvex::IResultData::kFailed)
                return true;
        } catch (const orvex::ComError&) {
            return true;
        }
    }
    return false;
}

// The keys an enabled limit of the standards is for.
QStringList LimitedKeys(const orvex::StandardList* standards) {
    QStringList keys;
    for (int32_t i = 1; standards != nullptr && i <= standards->Count(); ++i) {
        const auto standard = standards->Item(i);
        for (int32_t j = 1; j <= standard->Count(); ++j) {
            const auto entry = standard->Item(j);
            if (entry->Enabled(orvex::LimitEntry::kHigh) || entry->Enabled(orvex::LimitEntry::kLow))
                keys << entry->Key();
        }
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
    m_environment.reset();
}

void MonkeyEpisode::Play() {
    // The host's settings are a file of the episode's own.
    qputenv("ORVEX_REGISTRY", m_folder.filePath(QStringLiteral("Registry.ini")).toLocal8Bit());
    m_environment = std::make_unique<orvex::HostEnvironment>(orvex::HostMessageService::Mode::Record);
    // Loaded as orvex loads it, so that it finds its files beside it.
    const QString library = QStringLiteral(KOROTKA_PLUGIN_LIBRARY);
    const auto plugIn =
        orvex::HostKorotka::LoadPlugIn(*m_environment, library, QStringLiteral("English"), nullptr);
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
    m_window = std::make_unique<orvex::HostMainWindow>(*m_environment, plugIn, [korotka](QString&) {
        return std::optional<orvex::HostMainWindow::Korotka>(korotka);
    });
    m_window->show();

    Plan();
    if (std::bernoulli_distribution(0.75)(m_random)) Seed();
    const int runs = std::uniform_int_distribution<int>(1, 2)(m_random);
    for (int i = 0; i < runs; ++i) PlayRun();
    Check(kLineClosed, m_simulator->ClientOpenCount() == 0,
          QStringLiteral("the line is open %1 times after the last run").arg(m_simulator->ClientOpenCount()));
}

void MonkeyEpisode::Plan() {
    const int count = std::uniform_int_distribution<int>(1, kMostTests)(m_random);
    QStringList planned;
    for (int i = 0; i < count; ++i) {
        Planned test{0, false, 0, std::uniform_int_distribution<int32_t>(0, 3)(m_random)};
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
// has one to lose.
void MonkeyEpisode::Seed() {
    const int first = std::uniform_int_distribution<int>(0, static_cast<int>(m_plan.size()) - 1)(m_random);
    QString script;
    const auto reading = [this](double low, double high) {
        return QString::number(std::uniform_real_distribution<double>(low, high)(m_random), 'f', 0);
    };
    for (size_t i = first; i < m_plan.size(); ++i) {
        const Planned& test = m_plan[i];
        script += QStringLiteral("start\n");
        if (test.testId == 300) {
            script += QStringLiteral("readings 2\ntype STAT %1\n").arg(reading(245, 255));
        } else if (test.testId == 100 && test.customDuration && test.duration == 0) {
            script += QStringLiteral("readings 3\nrest\n");
        } else {
            script += QStringLiteral("rest\n");
        }
        if (test.testId > 400) {
            script += QStringLiteral("type SYST %1\ntype DIAS %2\ntype HART %3\n")
                          .arg(reading(100, 140), reading(60, 90), reading(55, 90));
            // A row for the mean only where the preset has one.
            const auto config = std::dynamic_pointer_cast<korotka::CConfigPBP>(
                m_window->Sequence().Tests()[static_cast<qsizetype>(i)]->Configuration());
            const orvex::Variant mean =
                config ? config->ExpectedValue(QStringLiteral("MAPR")) : orvex::Variant();
            if (!mean.IsEmpty() && !mean.IsNull())
                script += QStringLiteral("type MAPR %1\n").arg(reading(70, 110));
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
    for (qsizetype i = 0; i < m_window->Sequence().Tests().size(); ++i) {
        if (m_window->Sequence().Performed(i).at.isValid()) seeded << QString::number(i + 1);
    }
    Note(QStringLiteral("seeded: tests %1%2")
             .arg(seeded.join(QLatin1Char(' ')),
                  technician.Failed() ? QStringLiteral(" (the technician: %1)").arg(technician.Failure())
                                      : QString()));
}

void MonkeyEpisode::PlayRun() {
    auto& sequence = m_window->Sequence();
    std::vector<Before> before;
    for (qsizetype i = 0; i < sequence.Tests().size(); ++i) {
        const auto& element = sequence.Tests()[i];
        const auto result = element->Result();
        // Only a result with a verdict is a record: one never judged keeps no reading in a file (a
        // measurement without a verdict is not written), and the sequence restores what a file keeps.
        before.push_back({Summary(*element), sequence.Performed(i).at, result && result->Status() != 0});
    }
    MonkeyHand hand(m_random, *m_simulator, *m_environment->Messages(), m_log, m_options.timeScale);
    hand.Start(std::uniform_int_distribution<int>(kFewestActions, kMostActions)(m_random),
               [this](QWidget* guide) {
                   const auto& tests = m_window->Sequence().Tests();
                   for (qsizetype i = 0; i < tests.size(); ++i) {
                       const auto test = std::dynamic_pointer_cast<korotka::CTestBase>(tests[i]);
                       if (test && static_cast<QWidget*>(test->TestGuide().get()) == guide)
                           return static_cast<int>(i);
                   }
                   return -1;
               });
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
    CheckWindows(hand.Windows());
    CheckResults(before, hand.Windows());
}

void MonkeyEpisode::CheckWindows(const std::vector<MonkeyHand::Window>& windows) {
    for (const MonkeyHand::Window& window : windows) {
        if (window.position >= 0 && window.position < static_cast<int>(m_plan.size())) {
            const int32_t flags = m_plan[window.position].guideFlags;
            Check(kOffered, !window.skipOffered || (flags & 2) != 0,
                  QStringLiteral("test %1 offered Skip with guide flags %2")
                      .arg(window.position + 1)
                      .arg(flags));
            Check(kOffered, !window.notApplicableOffered || (flags & 1) != 0,
                  QStringLiteral("test %1 offered N/A with guide flags %2")
                      .arg(window.position + 1)
                      .arg(flags));
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

void MonkeyEpisode::CheckResults(const std::vector<Before>& before,
                                 const std::vector<MonkeyHand::Window>& windows) {
    const auto& sequence = m_window->Sequence();
    for (qsizetype i = 0; i < sequence.Tests().size() && i < static_cast<qsizetype>(before.size()); ++i) {
        auto& element = *sequence.Tests()[i];
        const QDateTime performed = sequence.Performed(i).at;
        if (performed == before[i].performed) {
            if (before[i].hadResult) {
                Check(kSurvives, Summary(element) == before[i].summary,
                      QStringLiteral("test %1 stored nothing, and its result went from %2 to %3")
                          .arg(i + 1)
                          .arg(before[i].summary, Summary(element)));
            }
            continue;
        }
        // The window that stored it: the last of this test that went before the result came.
        Ending ending = Ending::None;
        for (const MonkeyHand::Window& window : windows) {
            if (window.position == i && window.hidden && window.hiddenAt <= performed) ending = window.ending;
        }
        const QString problem = Inconsistency(element, ending, before[i].summary);
        Check(kConsistent, problem.isEmpty(),
              QStringLiteral("test %1 (%2), its window gone by %3: %4")
                  .arg(i + 1)
                  .arg(element.TestID())
                  .arg(EndingName(ending), problem));
    }
}

QString MonkeyEpisode::Inconsistency(orvex::ITestElement& element, Ending ending,
                                     const QString& earlier) const {
    const auto result = element.Result();
    if (!result) return QStringLiteral("stored without a result");
    const int32_t status = result->Status();
    const QStringList readings = Readings(*result);
    const QString shown = Summary(element);
    if (ending == Ending::Skip || ending == Ending::Abort)
        return QStringLiteral("a result was stored: ") + shown;
    if (ending == Ending::NotApplicable && status != orvex::IResultData::kNotApplicable)
        return QStringLiteral("not applicable was pressed, yet: ") + shown;
    if (status == orvex::IResultData::kNotApplicable && !readings.isEmpty()) {
        return QStringLiteral("not applicable with readings%1: ")
                   .arg(earlier.contains(readings.join(QStringLiteral(", ")))
                            ? QStringLiteral(" (those of the earlier result)")
                            : QString()) +
               shown;
    }
    const auto limits = element.Limits();
    const auto standards = limits ? limits->Standards() : nullptr;
    std::vector<std::shared_ptr<orvex::IMeasurement>> measurements;
    for (int32_t i = 1; i <= result->MeasurementCount(); ++i) {
        if (auto measurement = result->Measurement(orvex::Variant(i)))
            measurements.push_back(std::move(measurement));
    }
    if (status == orvex::IResultData::kPassed) {
        if (readings.isEmpty()) return QStringLiteral("passed without a reading: ") + shown;
        const QStringList limited = LimitedKeys(standards.get());
        for (const auto& measurement : measurements) {
            const bool empty = HostResultText::Value(*measurement).isEmpty();
            if (limited.contains(measurement->LimitKey()) && empty)
                return QStringLiteral("passed without %1, which has a limit: ").arg(measurement->Key()) +
                       shown;
            if (Fails(*measurement, standards.get()))
                return QStringLiteral("passed although %1 fails: ").arg(measurement->Key()) + shown;
        }
    }
    if (status == orvex::IResultData::kFailed &&
        std::none_of(measurements.begin(), measurements.end(),
                     [&](const auto& measurement) { return Fails(*measurement, standards.get()); })) {
        return QStringLiteral("failed, yet no reading fails: ") + shown;
    }
    return {};
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
