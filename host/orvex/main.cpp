// orvex: the stand-in host application. It loads the Korotka plug-in the way the host does, lists
// its tests, makes and shows sequences of them, and performs a sequence in the test guide windows,
// for a person or for a scripted technician.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QSettings>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/output/HostExporter.h"
#include "host/output/HostReportWriter.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/platform/HostSettingsFile.h"
#include "host/records/HostPerformContext.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostRun.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostShippedStandards.h"
#include "host/visit/HostVerdict.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "sim/Simulator.h"

namespace {

// Exit statuses of the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitIncomplete = 3;

constexpr int kDefaultAutoTimeout = 60;
constexpr int kMaxAutoTimeout = 24 * 3600;

void Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

int Usage(const QString& text) {
    Print(stderr, QStringLiteral("orvex: %1 (see orvex --help)").arg(text));
    return kExitUsage;
}

QString ErrorText(const orvex::ComError& e) {
    // The platform's own errors are small numbers; the plug-ins' are shown in hex as they are documented.
    const auto number = static_cast<uint32_t>(e.Number());
    const QString code = number < 0x10000 ? QString::number(number)
                                          : QStringLiteral("0x%1").arg(number, 8, 16, QLatin1Char('0'));
    return QStringLiteral("orvex: error %1 in %2: %3").arg(code, e.Source(), e.Description());
}

int Fail(const orvex::ComError& e, int status) {
    Print(stderr, ErrorText(e));
    return status;
}

// Tabs and line breaks of a stored text would break the line of `orvex show`.
QString OneField(QString text) {
    for (QChar& character : text) {
        if (character == QLatin1Char('\t') || character == QLatin1Char('\n') ||
            character == QLatin1Char('\r')) {
            character = QLatin1Char(' ');
        }
    }
    return text;
}

// One block per template: id, name, type and parameter, description.
void ListTests(orvex::IPlugIn& plugIn) {
    Print(stdout, QStringLiteral("%1 %2").arg(plugIn.Name(), plugIn.Version()));
    const auto tests = plugIn.Tests();
    for (int32_t i = 1; i <= tests->Count(); ++i) {
        const auto element = tests->Item(i);
        const auto info = element->Info();
        Print(stdout, QStringLiteral("%1  %2").arg(element->TestID(), 3).arg(info->Name()));
        Print(stdout, QStringLiteral("     %1: %2").arg(info->Type(), info->Parameter()));
        Print(stdout, QStringLiteral("     %1").arg(info->Description()));
    }
}

// A test id, or the name of a template (case does not matter).
std::optional<int32_t> TestIdOf(orvex::IPlugIn& plugIn, const QString& test) {
    bool isNumber = false;
    const int32_t number = test.toInt(&isNumber);
    const auto tests = plugIn.Tests();
    for (int32_t i = 1; i <= tests->Count(); ++i) {
        const auto element = tests->Item(i);
        if (isNumber ? element->TestID() == number
                     : element->Info()->Name().compare(test, Qt::CaseInsensitive) == 0) {
            return element->TestID();
        }
    }
    return std::nullopt;
}

int NewSequence(orvex::IPlugIn& plugIn, orvex::HostSequence& sequence, const QString& file,
                const QStringList& tests, orvex::HostShippedStandards::Patient patient) {
    for (const QString& test : tests) {
        const auto testId = TestIdOf(plugIn, test);
        if (!testId)
            return Usage(QStringLiteral("the plug-in has no test \"%1\" (see orvex tests)").arg(test));
        sequence.Append(*testId, patient);
    }
    sequence.Save(file);
    return kExitOk;
}

QString MeasurementField(const std::shared_ptr<orvex::IMeasurement>& measurement) {
    QString text = orvex::HostResultText::Value(*measurement);
    const QString unit = measurement->Unit();
    if (!text.isEmpty() && !unit.isEmpty()) text += QLatin1Char(' ') + unit;
    return OneField(measurement->Key()) + QLatin1Char('=') + OneField(text);
}

// One line per test: position, name, status word, then KEY=VALUE per measurement.
void ShowSequence(const orvex::HostSequence& sequence) {
    int position = 0;
    for (const auto& element : sequence.Tests()) {
        const auto result = element->Result();
        QStringList fields{QString::number(++position), OneField(element->Info()->Name()),
                           orvex::HostResultText::StatusWord(result ? result->Status() : 0)};
        const int32_t count = result ? result->MeasurementCount() : 0;
        for (int32_t i = 1; i <= count; ++i) {
            if (const auto measurement = result->Measurement(orvex::Variant(i))) {
                fields << MeasurementField(measurement);
            }
        }
        Print(stdout, fields.join(QLatin1Char('\t')));
    }
}

// Empty when the settings name the Korotka's port, otherwise why not.
QString UseSettings(orvex::HostEnvironment& environment) {
    const auto settings = orvex::HostSettingsFile::Open();
    QString why;
    orvex::HostKorotka::PortInSettings(*environment.Ports(), *environment.Instruments(), *settings, &why);
    return why;
}

struct RunOptions {
    QString file;
    QStringList standards;
    std::optional<orvex::HostScript> script;
    int timeoutSeconds = kDefaultAutoTimeout;
};

int RunSequence(orvex::HostEnvironment& environment, orvex::HostSequence& sequence,
                const RunOptions& options) {
    if (const auto unknown = orvex::HostRun::UnknownStandard(sequence, options.standards)) {
        return Usage(QStringLiteral("no test of %1 has a standard \"%2\"").arg(options.file, *unknown));
    }
    std::unique_ptr<orvex::HostScriptedTechnician> technician;
    if (options.script) {
        technician = std::make_unique<orvex::HostScriptedTechnician>(*options.script, environment.Messages(),
                                                                     options.timeoutSeconds);
        technician->Start();
    }
    orvex::HostVisitSaver saver(options.file);
    orvex::HostRun::Options run;
    run.standards = options.standards;
    run.interrupt = [&technician] { return technician && technician->Failed(); };
    const auto outcome = orvex::HostRun::Perform(sequence, *environment.Messages(), saver, run);
    if (outcome.error) Print(stderr, ErrorText(*outcome.error));
    if (technician) technician->Finish();
    if (!saver.InFile()) {
        Print(stderr, QStringLiteral("orvex: the sequence could not be saved: %1").arg(saver.Failure()));
        Print(stderr, saver.Kept().isEmpty()
                          ? QStringLiteral("orvex: the results of the run could not be kept anywhere")
                          : QStringLiteral("orvex: the results of the run are kept in %1").arg(saver.Kept()));
        return kExitUsage;
    }
    if (technician && technician->Failed()) {
        Print(stderr, technician->Failure());
        return kExitIncomplete;
    }
    if (!outcome.Complete()) {
        if (outcome.outcome == orvex::HostSequence::Outcome::Aborted)
            Print(stderr, QStringLiteral("orvex: the run was aborted"));
        return kExitIncomplete;
    }
    return orvex::HostVerdict::Of(sequence) == orvex::HostVerdict::Overall::Failed ? kExitFailed : kExitOk;
}

struct Options {
    QCommandLineOption plugin{
        QStringLiteral("plugin"),
        QStringLiteral("The plug-in library (default: liborvexKorotka.so in ../lib beside orvex)."),
        QStringLiteral("path")};
    QCommandLineOption language{
        QStringLiteral("language"),
        QStringLiteral("Language of the texts, a file <name>.lng in the plug-in's Language "
                       "folder (default: English)."),
        QStringLiteral("name"), QStringLiteral("English")};
    QCommandLineOption verbose{
        QStringLiteral("verbose"),
        QStringLiteral("Also report on stderr the failures that the host and the driver pass over.")};
    QCommandLineOption device{QStringLiteral("device"),
                              QStringLiteral("run: the serial device of the Korotka for this run."),
                              QStringLiteral("path")};
    QCommandLineOption simulate{
        QStringLiteral("simulate"),
        QStringLiteral("run: use the built-in Korotka simulator on a pseudo-terminal.")};
    QCommandLineOption timeScale{
        QStringLiteral("time-scale"),
        QStringLiteral("run --simulate: the simulator's time scale (1 is real time)."), QStringLiteral("x")};
    QCommandLineOption fault{QStringLiteral("fault"),
                             QStringLiteral("run --simulate: the simulator's fault, one of %1.")
                                 .arg(QString::fromStdString(korotkasim::FaultNames())),
                             QStringLiteral("name")};
    QCommandLineOption standard{
        QStringLiteral("standard"),
        QStringLiteral("run: judge against this standard (alpha or complete name; may be "
                       "given more than once; default: every standard of each test)."),
        QStringLiteral("name")};
    QCommandLineOption script{
        QStringLiteral("auto"),
        QStringLiteral("run: a scripted technician plays this script instead of a person."),
        QStringLiteral("script")};
    QCommandLineOption autoTimeout{
        QStringLiteral("auto-timeout"),
        QStringLiteral("run --auto: seconds each action may wait (default %1).").arg(kDefaultAutoTimeout),
        QStringLiteral("seconds")};
    QCommandLineOption patient{
        QStringLiteral("patient"),
        QStringLiteral("new: the patient the monitor is for, adult or neonate; it chooses the shipped "
                       "relief-valve limit (default adult)."),
        QStringLiteral("kind")};
    QCommandLineOption assetId{QStringLiteral("asset-id"),
                               QStringLiteral("new, asset: the ID of the equipment under test."),
                               QStringLiteral("text")};
    QCommandLineOption assetMakeModel{QStringLiteral("asset-make-model"),
                                      QStringLiteral("new, asset: its make and model."),
                                      QStringLiteral("text")};
    QCommandLineOption assetSerial{QStringLiteral("asset-serial"),
                                   QStringLiteral("new, asset: its serial number."), QStringLiteral("text")};
    QCommandLineOption assetLocation{QStringLiteral("asset-location"),
                                     QStringLiteral("new, asset: where it is."), QStringLiteral("text")};
    QCommandLineOption technician{QStringLiteral("technician"),
                                  QStringLiteral("new, asset: the name of the technician who tests it."),
                                  QStringLiteral("name")};
    QCommandLineOption pdf{QStringLiteral("pdf"),
                           QStringLiteral("report: write the report as PDF to this file."),
                           QStringLiteral("file")};
    QCommandLineOption html{QStringLiteral("html"),
                            QStringLiteral("report: also write it as HTML to this file."),
                            QStringLiteral("file")};
    QCommandLineOption page{QStringLiteral("page"),
                            QStringLiteral("report: the PDF's paper, a4 or letter (default a4)."),
                            QStringLiteral("size")};
    QCommandLineOption json{QStringLiteral("json"),
                            QStringLiteral("export: write the results as JSON to this file."),
                            QStringLiteral("file")};
    QCommandLineOption csv{QStringLiteral("csv"),
                           QStringLiteral("export: write the results as CSV to this file."),
                           QStringLiteral("file")};

    // Every option but the general ones, with the commands that take it.
    std::vector<std::pair<const QCommandLineOption*, QStringList>> Owned() const {
        const QStringList run{QStringLiteral("run")};
        const QStringList asset{QStringLiteral("new"), QStringLiteral("asset")};
        return {{&device, run},
                {&simulate, run},
                {&timeScale, run},
                {&fault, run},
                {&standard, run},
                {&script, run},
                {&autoTimeout, run},
                {&patient, {QStringLiteral("new")}},
                {&assetId, asset},
                {&assetMakeModel, asset},
                {&assetSerial, asset},
                {&assetLocation, asset},
                {&technician, asset},
                {&pdf, {QStringLiteral("report")}},
                {&html, {QStringLiteral("report")}},
                {&page, {QStringLiteral("report")}},
                {&json, {QStringLiteral("export")}},
                {&csv, {QStringLiteral("export")}}};
    }
};

// A simulator on its pseudo-terminal; none, with the reason, when the options are unsound or it
// does not start.
std::shared_ptr<korotkasim::Simulator> StartSimulator(const korotkasim::SimOptions& options, QString& why) {
    const std::string problem = korotkasim::CheckOptions(options);
    if (!problem.empty()) {
        why = QString::fromStdString(problem);
        return nullptr;
    }
    auto simulator = std::make_shared<korotkasim::Simulator>(options);
    std::string reason;
    if (!simulator->Start(&reason)) {
        why = QStringLiteral("the simulator did not start: %1").arg(QString::fromStdString(reason));
        return nullptr;
    }
    return simulator;
}

// The main window over the plug-in, with the host's own texts and the driver for Identify.
int ShowMainWindow(orvex::HostEnvironment& environment, const std::shared_ptr<orvex::IPlugIn>& plugIn,
                   const QString& language, const QString& file) {
    const QString programFolder = QCoreApplication::applicationDirPath();
    QString error;
    if (!environment.Language()->Load(orvex::HostMainWindow::kTextsId,
                                      programFolder + QStringLiteral("/Language"), language, &error)) {
        Print(stderr, QStringLiteral("orvex: %1; the host's texts stay in English").arg(error));
    }
    environment.Loader().Load(QStringLiteral("KorotkaVTI"),
                              QDir(programFolder).filePath(QStringLiteral("../lib/liborvexKorotkaVTI.so")));
    orvex::HostMainWindow window(environment, plugIn, [](QString& why) {
        korotkasim::SimOptions options;
        const auto simulator = StartSimulator(options, why);
        if (!simulator) return std::optional<orvex::HostMainWindow::Korotka>();
        return std::optional<orvex::HostMainWindow::Korotka>(orvex::HostMainWindow::Korotka{
            QString::fromStdString(simulator->SlavePath()), QString::fromStdString(options.serial),
            QString::fromStdString(options.firmware), simulator});
    });
    if (!file.isEmpty() && !window.Open(file)) return kExitUsage;
    window.show();
    window.OfferRecovery();
    return QApplication::exec();
}

// The options of `run`, checked; an empty text when they are sound, otherwise what is wrong.
// A started simulator is handed out in simulator; it runs until that is let go of.
QString ReadRunOptions(const QCommandLineParser& parser, const Options& o,
                       orvex::HostEnvironment& environment, std::shared_ptr<korotkasim::Simulator>& simulator,
                       RunOptions& run) {
    if (parser.isSet(o.device) && parser.isSet(o.simulate))
        return QStringLiteral("--device and --simulate exclude each other");
    if (!parser.isSet(o.simulate) && (parser.isSet(o.timeScale) || parser.isSet(o.fault))) {
        return QStringLiteral("--time-scale and --fault need --simulate");
    }
    if (!parser.isSet(o.script) && parser.isSet(o.autoTimeout))
        return QStringLiteral("--auto-timeout needs --auto");
    run.standards = parser.values(o.standard);
    if (parser.isSet(o.autoTimeout)) {
        bool ok = false;
        run.timeoutSeconds = parser.value(o.autoTimeout).toInt(&ok);
        if (!ok || run.timeoutSeconds < 1 || run.timeoutSeconds > kMaxAutoTimeout) {
            return QStringLiteral("--auto-timeout takes whole seconds from 1 to %1").arg(kMaxAutoTimeout);
        }
    }
    if (parser.isSet(o.script)) {
        try {
            run.script = orvex::HostScript::Load(parser.value(o.script));
        } catch (const orvex::ComError& e) {
            return e.Description();
        }
    }
    if (parser.isSet(o.simulate)) {
        korotkasim::SimOptions simulation;
        if (parser.isSet(o.timeScale)) {
            bool ok = false;
            simulation.timeScale = parser.value(o.timeScale).toDouble(&ok);
            if (!ok) return QStringLiteral("--time-scale \"%1\" is no number").arg(parser.value(o.timeScale));
        }
        if (parser.isSet(o.fault)) {
            const auto fault = korotkasim::FaultFromName(parser.value(o.fault).toStdString());
            if (!fault) return QStringLiteral("no simulator fault \"%1\"").arg(parser.value(o.fault));
            simulation.fault = *fault;
        }
        QString why;
        simulator = StartSimulator(simulation, why);
        if (!simulator) return why;
        orvex::HostKorotka::Register(environment, QString::fromStdString(simulator->SlavePath()),
                                     QString::fromStdString(simulation.serial),
                                     QString::fromStdString(simulation.firmware));
    } else if (parser.isSet(o.device)) {
        orvex::HostKorotka::Register(environment, parser.value(o.device));
    } else {
        return UseSettings(environment);
    }
    return {};
}

// The first option given that the command does not take, or none.
std::optional<QString> ForeignOption(const QCommandLineParser& parser, const Options& o,
                                     const QString& command) {
    for (const auto& [option, commands] : o.Owned()) {
        if (parser.isSet(*option) && !commands.contains(command)) return option->names().constFirst();
    }
    return std::nullopt;
}

// The asset and technician options given, set on the sequence.
void SetAsset(const QCommandLineParser& parser, const Options& o, orvex::HostSequence& sequence) {
    orvex::HostSequence::Asset asset = sequence.AssetUnderTest();
    for (const auto& [option, field] :
         {std::pair{&o.assetId, &asset.id}, std::pair{&o.assetMakeModel, &asset.makeModel},
          std::pair{&o.assetSerial, &asset.serialNo}, std::pair{&o.assetLocation, &asset.location}}) {
        if (parser.isSet(*option)) *field = parser.value(*option);
    }
    sequence.SetAsset(asset);
    if (parser.isSet(o.technician)) sequence.SetTechnician(parser.value(o.technician));
}

int WriteReport(const QCommandLineParser& parser, const Options& o, orvex::HostEnvironment& environment,
                const orvex::HostSequence& sequence) {
    if (!parser.isSet(o.pdf)) return Usage(QStringLiteral("report needs --pdf FILE"));
    const auto page = orvex::HostReportWriter::PageFromName(parser.isSet(o.page) ? parser.value(o.page)
                                                                                 : QStringLiteral("a4"));
    if (!page)
        return Usage(QStringLiteral("--page takes a4 or letter, not \"%1\"").arg(parser.value(o.page)));
    const orvex::HostReportWriter writer(sequence, environment.Language());
    writer.WritePdf(parser.value(o.pdf), *page);
    if (parser.isSet(o.html)) writer.WriteHtml(parser.value(o.html));
    return kExitOk;
}

int Export(const QCommandLineParser& parser, const Options& o, orvex::HostEnvironment& environment,
           const orvex::HostSequence& sequence) {
    if (!parser.isSet(o.json) && !parser.isSet(o.csv))
        return Usage(QStringLiteral("export needs --json or --csv"));
    const orvex::HostExporter exporter(sequence, environment.Language());
    if (parser.isSet(o.json)) exporter.WriteJson(parser.value(o.json));
    if (parser.isSet(o.csv)) exporter.WriteCsv(parser.value(o.csv));
    return kExitOk;
}

// The first argument that is neither an option nor an option's value.
QString CommandOf(int argc, char** argv) {
    static const QList<QByteArray> withValue{"--plugin",
                                             "--language",
                                             "--device",
                                             "--time-scale",
                                             "--fault",
                                             "--standard",
                                             "--auto",
                                             "--auto-timeout",
                                             "--patient",
                                             "--asset-id",
                                             "--asset-make-model",
                                             "--asset-serial",
                                             "--asset-location",
                                             "--technician",
                                             "--pdf",
                                             "--html",
                                             "--page",
                                             "--json",
                                             "--csv"};
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (withValue.contains(argument)) {
            ++i;
        } else if (!argument.startsWith('-')) {
            return QString::fromLocal8Bit(argument);
        }
    }
    return {};
}

bool HasScript(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--auto" || argument.startsWith("--auto=")) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Only a run without a script shows windows to a person; everything else draws off-screen
    // when there is no screen.
    const QString commandGiven = CommandOf(argc, argv);
    const bool mainWindow = commandGiven.isEmpty() || commandGiven == QLatin1String("open");
    const bool showsWindows = mainWindow || (commandGiven == QLatin1String("run") && !HasScript(argc, argv));
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (showsWindows) {
            Print(stderr,
                  QStringLiteral(
                      "orvex: the main window, and a run without --auto, show windows to a person and need a "
                      "display"));
            return kExitUsage;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvex"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The test-automation host for the Korotka NIBP simulator plug-in.\n\n"
        "Without a command, or with open FILE, the main window opens (on a display).\n\n"
        "Commands:\n"
        "  tests                 list the tests the plug-in offers (test id, name, type and parameter,\n"
        "                        description)\n"
        "  new FILE TEST...      make a sequence of these tests (test ids or template names) in FILE\n"
        "  run FILE [--device PATH | --simulate [--time-scale X] [--fault NAME]] [--standard NAME]...\n"
        "          [--auto SCRIPT [--auto-timeout S]]\n"
        "                        perform the sequence in the test guide windows, saving it with its\n"
        "                        results into FILE after each test (into a recovery file in\n"
        "                        $XDG_STATE_HOME/orvex when FILE cannot be written); without --device\n"
        "                        or --simulate the Korotka's port\n"
        "                        comes from the settings. --auto plays SCRIPT (one action a line: start,\n"
        "                        stop, readings N, type KEY VALUE, next, previous, abort, skip, na, close,\n"
        "                        rest, answer yes|no; # comments) instead of a person.\n"
        "                        Exit status: 0 every performed test passed, was skipped or is not\n"
        "                        applicable; 1 a test failed; 2 usage or file error; 3 the run could not\n"
        "                        be completed (instrument failure, abort, or a script not followed).\n"
        "  show FILE             one line per test: position, name, status (not-measured, passed,\n"
        "                        failed, not-applicable) and KEY=VALUE per measurement, tab-separated\n"
        "  asset FILE [--asset-id X] [--asset-make-model X] [--asset-serial X] [--asset-location X]\n"
        "          [--technician NAME]\n"
        "                        set the equipment under test and the technician (also on new)\n"
        "  report FILE --pdf OUT [--html OUT] [--page a4|letter]\n"
        "                        the report of the sequence: header, each test's configuration, limits\n"
        "                        and results, and where each judged reading lies between its limits\n"
        "  export FILE [--json OUT] [--csv OUT]\n"
        "                        the results for a maintenance database (formats: see the README)\n\n"
        "New tests get the shipped limit sets: static pressure within 3 mmHg (DIFF), leak at most\n"
        "6 mmHg/min (RATE), relief valve at most 330 mmHg, or 165 mmHg with --patient neonate (PEAK),\n"
        "NIBP simulation SYST, DIAS, MAPR within 10 mmHg of the preset and HR within 5 %."));
    parser.addHelpOption();
    const Options o;
    for (const auto* option : {&o.plugin, &o.language, &o.verbose}) parser.addOption(*option);
    for (const auto& owned : o.Owned()) parser.addOption(*owned.first);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see above)."));
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    const bool shapeOk = arguments.isEmpty() || (command == QLatin1String("open") && arguments.size() == 2) ||
                         (command == QLatin1String("tests") && arguments.size() == 1) ||
                         (command == QLatin1String("new") && arguments.size() >= 3) ||
                         (QStringList{QStringLiteral("run"), QStringLiteral("show"), QStringLiteral("asset"),
                                      QStringLiteral("report"), QStringLiteral("export")}
                              .contains(command) &&
                          arguments.size() == 2);
    if (!shapeOk) return Usage(QStringLiteral("unknown or incomplete command"));
    if (const auto foreign = ForeignOption(parser, o, command)) {
        return Usage(QStringLiteral("orvex %1 takes no --%2").arg(command, *foreign));
    }
    const auto patient = orvex::HostShippedStandards::PatientFromName(
        parser.isSet(o.patient) ? parser.value(o.patient) : QStringLiteral("adult"));
    if (!patient) return Usage(QStringLiteral("--patient takes adult or neonate"));
    if (parser.isSet(o.verbose)) orvex::EnableVerboseLogging();

    const bool person = mainWindow || (command == QLatin1String("run") && !parser.isSet(o.script));
    orvex::HostEnvironment environment(person ? orvex::HostMessageService::Mode::Dialog
                                              : orvex::HostMessageService::Mode::Console);
    const QString library = parser.isSet(o.plugin)
                                ? parser.value(o.plugin)
                                : QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../lib/liborvexKorotka.so"));
    std::shared_ptr<orvex::IPlugIn> plugIn;
    try {
        QString warning;
        plugIn = orvex::HostKorotka::LoadPlugIn(environment, library, parser.value(o.language), &warning);
        if (!warning.isEmpty()) Print(stderr, QStringLiteral("orvex: %1").arg(warning));
    } catch (const orvex::ComError& e) {
        return Fail(e, command == QLatin1String("run") ? kExitIncomplete : kExitFailed);
    }

    const QString file = arguments.value(1);
    try {
        if (mainWindow) return ShowMainWindow(environment, plugIn, parser.value(o.language), file);
        if (command == QLatin1String("tests")) {
            ListTests(*plugIn);
            return kExitOk;
        }
        orvex::HostSequence sequence(plugIn);
        if (command == QLatin1String("new")) {
            SetAsset(parser, o, sequence);
            return NewSequence(*plugIn, sequence, file, arguments.mid(2), *patient);
        }
        sequence.Load(file);
        if (command == QLatin1String("show")) {
            ShowSequence(sequence);
            return kExitOk;
        }
        if (command == QLatin1String("asset")) {
            SetAsset(parser, o, sequence);
            sequence.Save(file);
            return kExitOk;
        }
        if (command == QLatin1String("report")) return WriteReport(parser, o, environment, sequence);
        if (command == QLatin1String("export")) return Export(parser, o, environment, sequence);
        std::shared_ptr<korotkasim::Simulator> simulator;
        RunOptions run;
        run.file = file;
        const QString problem = ReadRunOptions(parser, o, environment, simulator, run);
        if (!problem.isEmpty()) return Usage(problem);
        return RunSequence(environment, sequence, run);
    } catch (const orvex::ComError& e) {
        return Fail(e, kExitUsage);
    }
}
