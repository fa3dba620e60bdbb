#include "OrvexCommands.h"

#include <QApplication>
#include <QFileInfo>
#include <limits>

#include "host/archive/HostDatabaseUrl.h"
#include "host/archive/HostFleet.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRunRequest.h"
#include "host/archive/HostVisitRecord.h"
#include "host/output/HostConsoleText.h"
#include "host/output/HostExporter.h"
#include "host/output/HostFleetPage.h"
#include "host/output/HostFleetText.h"
#include "host/output/HostHistoryText.h"
#include "host/output/HostReportWriter.h"
#include "host/output/HostVerifyText.h"
#include "host/output/HostVisitText.h"
#include "host/platform/HostAtomicFile.h"
#include "host/platform/HostInstallation.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostProcedure.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ComError.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "sim/Simulator.h"

namespace orvexapp {

void OrvexCommands::Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

void OrvexCommands::Print(FILE* stream, const QStringList& lines) {
    for (const QString& line : lines) Print(stream, line);
}

int OrvexCommands::Usage(const QString& text) {
    Print(stderr, QStringLiteral("orvex: %1 (see orvex --help)").arg(text));
    return kExitUsage;
}

int OrvexCommands::Fail(const orvex::ComError& e, int status) {
    Print(stderr, orvex::HostConsoleText::Error(e));
    return status;
}

OrvexCommands::OrvexCommands(const QCommandLineParser& parser, const OrvexOptions& options,
                             orvex::HostEnvironment& environment, std::shared_ptr<orvex::IPlugIn> plugIn,
                             Request request)
    : m_parser(parser),
      m_options(options),
      m_environment(environment),
      m_plugIn(std::move(plugIn)),
      m_request(std::move(request)) {}

using O = OrvexOptions;
using Takes = OrvexOptions::Takes;

const std::vector<OrvexCommands::Command>& OrvexCommands::Commands() {
    static const std::vector<Command> commands{
        {QStringLiteral("open"), 0, 1, Takes{&O::database, &O::noArchive}, {}, &OrvexCommands::WindowCommand},
        {QStringLiteral("tests"), 0, 0, Takes{},
         QStringLiteral(
             "  tests                 list the tests the plug-in offers (test id, name, type and parameter,\n"
             "                        description)\n"),
         &OrvexCommands::TestsCommand},
        {QStringLiteral("procedures"), 0, 1, Takes{},
         QStringLiteral(
             "  procedures [NAME|FILE]\n"
             "                        list the procedures found (the user's, "
             "$XDG_DATA_HOME/Orvex/procedures,\n"
             "                        then the shipped ones): name, version, equipment, description; with a\n"
             "                        name or file, that procedure's tests, each as often as it repeats\n"),
         &OrvexCommands::ProceduresCommand},
        {QStringLiteral("new"), 1, -1,
         Takes{&O::procedure, &O::patient, &O::assetId, &O::assetMakeModel, &O::assetSerial,
               &O::assetLocation, &O::technician},
         QStringLiteral(
             "  new FILE TEST...      make a sequence of these tests (test ids or template names) in FILE\n"
             "  new FILE --procedure NAME|FILE\n"
             "                        make the visit a procedure describes in FILE\n"),
         &OrvexCommands::NewCommand},
        {QStringLiteral("run"), 1, 1,
         Takes{&O::device, &O::simulate, &O::timeScale, &O::fault, &O::relief, &O::standard, &O::script,
               &O::autoTimeout, &O::database, &O::noArchive},
         QStringLiteral(
             "  run FILE [--device PATH | --simulate [--time-scale X] [--fault NAME] [--relief MMHG]]\n"
             "          [--standard NAME]...\n"
             "          [--auto SCRIPT [--auto-timeout S]] [--no-archive] [--database URL]\n"
             "                        perform the sequence in the test guide windows, saving it with its\n"
             "                        results into FILE after each test (into a recovery file in\n"
             "                        $XDG_STATE_HOME/orvex when FILE cannot be written); without --device\n"
             "                        or --simulate the Korotka's port\n"
             "                        comes from the settings. --auto plays SCRIPT (one action a line: "
             "start,\n"
             "                        stop, readings N, type KEY VALUE, next, previous, abort, skip, na, "
             "close,\n"
             "                        rest, answer yes|no; # comments) instead of a person.\n"
             "                        Exit status: 0 every performed test passed, was skipped or is not\n"
             "                        applicable; 1 a test failed; 2 usage or file error; 3 the run could "
             "not\n"
             "                        be completed (instrument failure, abort, or a script not followed).\n"
             "                        The visit is then stored in the results database (see archive)\n"
             "                        unless --no-archive is given; a database that cannot be opened is\n"
             "                        warned about and changes no exit status.\n"),
         &OrvexCommands::RunCommand},
        {QStringLiteral("show"), 1, 1, Takes{},
         QStringLiteral(
             "  show FILE             one line per test: position, name, status (not-measured, passed,\n"
             "                        failed, not-applicable) and KEY=VALUE per measurement, "
             "tab-separated\n"),
         &OrvexCommands::ShowCommand},
        {QStringLiteral("asset"), 1, 1,
         Takes{&O::assetId, &O::assetMakeModel, &O::assetSerial, &O::assetLocation, &O::technician,
               &O::interval, &O::database},
         QStringLiteral(
             "  asset FILE [--asset-id X] [--asset-make-model X] [--asset-serial X] [--asset-location X]\n"
             "          [--technician NAME] [--interval MONTHS [--database URL]]\n"
             "  asset ASSET-ID --interval MONTHS [--database URL]\n"
             "                        set the equipment under test and the technician (also on new);\n"
             "                        --interval sets how many months apart the asset is tested (default\n"
             "                        12), kept in the results database for the asset\n"),
         &OrvexCommands::AssetCommand},
        {QStringLiteral("report"), 1, 1, Takes{&O::pdf, &O::html, &O::page, &O::database},
         QStringLiteral(
             "  report FILE --pdf OUT [--html OUT] [--page a4|letter] [--database URL]\n"
             "                        the report of the sequence: header, each test's configuration, limits\n"
             "                        and results, where each judged reading lies between its limits and,\n"
             "                        when the results database knows earlier visits, its trend over them\n"),
         &OrvexCommands::ReportCommand},
        {QStringLiteral("export"), 1, 1, Takes{&O::json, &O::csv},
         QStringLiteral(
             "  export FILE [--json OUT] [--csv OUT]\n"
             "                        the results for a maintenance database (formats: see the README)\n"),
         &OrvexCommands::ExportCommand},
        {QStringLiteral("archive"), 1, 1, Takes{&O::database},
         QStringLiteral(
             "  archive FILE [--database URL]\n"
             "                        store the visit in the results database; a visit stored before and\n"
             "                        changed since is stored as a new revision of it, never twice\n"),
         &OrvexCommands::ArchiveCommand},
        {QStringLiteral("history"), 1, 1,
         Takes{&O::jsonList, &O::database, &O::limit, &O::trend, &O::revisions},
         QStringLiteral(
             "  history ASSET-ID [--json | --trend KEY] [--limit N] [--revisions] [--database URL]\n"
             "                        the asset's visits, newest first, each once: when, technician, "
             "verdict\n"
             "                        and each test's readings; --trend one line per visit for the reading\n"
             "                        KEY. The newest %1 are shown; --limit N shows N, --limit 0 all of "
             "them.\n"
             "                        Exit status 1 when a visit shown was altered or follows a break in "
             "the\n"
             "                        seals\n")
             .arg(OrvexOptions::kDefaultLimit),
         &OrvexCommands::HistoryCommand},
        {QStringLiteral("verify"), 0, 0, Takes{&O::database, &O::seal},
         QStringLiteral(
             "  verify [--seal TEXT] [--database URL]\n"
             "                        walk the chain of seals over every stored revision and name each "
             "break\n"
             "                        (exit status 1) or say the store is whole (0); --seal looks up a seal\n"
             "                        a report printed\n"),
         &OrvexCommands::VerifyCommand},
        {QStringLiteral("due"), 0, 0, Takes{&O::within, &O::jsonList, &O::database},
         QStringLiteral(
             "  due [--within DAYS] [--json] [--database URL]\n"
             "                        the assets due within DAYS (default 30) and those overdue, oldest due\n"
             "                        first: asset, make and model, location, last complete visit, its\n"
             "                        verdict, its seal (whole, altered, after a break), due date, days "
             "left\n"
             "                        (negative: overdue); an asset never completed is due now\n"),
         &OrvexCommands::DueCommand},
        {QStringLiteral("drift"), 0, 0, Takes{&O::within, &O::jsonList, &O::database},
         QStringLiteral(
             "  drift [--within MONTHS] [--json] [--database URL]\n"
             "                        every reading of an asset, judged in three visits or more, whose\n"
             "                        straight line over time leaves its limits within MONTHS (default 12),\n"
             "                        soonest first: asset, test, reading, slope a year, when\n"),
         &OrvexCommands::DriftCommand},
        {QStringLiteral("fleet"), 0, 0, Takes{&O::html, &O::database},
         QStringLiteral(
             "  fleet --html FILE [--database URL]\n"
             "                        one page for the department: every asset with its last visit, "
             "verdict,\n"
             "                        seal, due date and drift warnings, overdue and failed first, sortable\n"
             "                        and filterable without a server or a network; the database is only "
             "read\n"),
         &OrvexCommands::FleetCommand},
    };
    return commands;
}

const OrvexCommands::Command* OrvexCommands::Named(const QString& name) {
    const auto& commands = Commands();
    const auto found = std::find_if(commands.begin(), commands.end(), [&name](const Command& command) {
        return command.name == (name.isEmpty() ? QStringLiteral("open") : name);
    });
    return found == commands.end() ? nullptr : &*found;
}

orvex::HostResult<OrvexCommands::Request> OrvexCommands::Read(QCommandLineParser& parser,
                                                              const OrvexOptions& options,
                                                              const QString& given) {
    using Failed = orvex::HostResult<Request>;
    QString help;
    for (const Command& command : Commands()) help += command.help;
    const Command* early = Named(given);
    options.AddTo(parser, help, early != nullptr ? early->options : Takes{});
    parser.process(QCoreApplication::arguments());
    const QStringList arguments = parser.positionalArguments();
    const Command* command = Named(arguments.value(0));
    const qsizetype count = std::max<qsizetype>(arguments.size() - 1, 0);
    if (command == nullptr || count < command->least || (command->most >= 0 && count > command->most))
        return Failed::Failed(QStringLiteral("unknown or incomplete command"));
    if (const auto foreign = options.Foreign(parser, command->options))
        return Failed::Failed(QStringLiteral("orvex %1 takes no --%2").arg(arguments.value(0), *foreign));
    const auto patient = orvex::HostShippedStandards::PatientFromName(
        parser.isSet(options.patient) ? parser.value(options.patient) : QStringLiteral("adult"));
    if (!patient) return Failed::Failed(QStringLiteral("--patient takes adult or neonate"));
    return Request{command, arguments.mid(1), *patient};
}

int OrvexCommands::Carry() {
    // Every user of the machine can read a command line (ps, /proc) and the shell keeps it.
    if (m_parser.isSet(m_options.database) &&
        orvex::HostDatabaseUrl::NamesPassword(m_parser.value(m_options.database))) {
        Print(stderr, QStringLiteral(
                          "orvex: warning: the password in --database can be read by other users of this "
                          "machine and stays in the shell's history; put it in a pgpass file (PGPASSFILE, "
                          "else ~/.pgpass) or a service file (?service=NAME) and leave it out of the URL"));
    }
    try {
        return (this->*m_request.command->carry)(m_request.arguments);
    } catch (const orvex::ComError& e) {
        return Fail(e, kExitUsage);
    }
}

orvex::HostSequence OrvexCommands::Loaded(const QString& file) const {
    orvex::HostSequence sequence(m_plugIn);
    sequence.Load(file);
    return sequence;
}

// Results a save of the file may have left beside it when it did not end; the window offers them.
void OrvexCommands::TellLeftover(const QString& file) const {
    orvex::HostSequence sequence(m_plugIn);
    const QString leftover = orvex::HostVisitSaver::Leftover(file, sequence);
    if (leftover.isEmpty()) return;
    Print(stderr,
          QStringLiteral("orvex: %1, left by a save of %2 that did not end, is newer and may hold newer "
                         "results; `orvex open %2` offers to take them")
              .arg(leftover, file));
}

// The asset and technician options given, set on the sequence.
void OrvexCommands::SetAsset(orvex::HostSequence& sequence) const {
    orvex::HostSequence::Asset asset = sequence.AssetUnderTest();
    for (const auto& [option, field] :
         {std::pair{&m_options.assetId, &asset.id}, std::pair{&m_options.assetMakeModel, &asset.makeModel},
          std::pair{&m_options.assetSerial, &asset.serialNo},
          std::pair{&m_options.assetLocation, &asset.location}}) {
        if (m_parser.isSet(*option)) *field = m_parser.value(*option);
    }
    sequence.SetAsset(asset);
    if (m_parser.isSet(m_options.technician)) sequence.SetTechnician(m_parser.value(m_options.technician));
}

// The options of `run`, checked, with the Korotka registered (the simulator started).
orvex::HostResult<orvex::HostRunRequest> OrvexCommands::ReadRun(const QString& file) const {
    using Failed = orvex::HostResult<orvex::HostRunRequest>;
    const OrvexOptions& o = m_options;
    if (m_parser.isSet(o.device) && m_parser.isSet(o.simulate))
        return Failed::Failed(QStringLiteral("--device and --simulate exclude each other"));
    if (!m_parser.isSet(o.simulate) &&
        (m_parser.isSet(o.timeScale) || m_parser.isSet(o.fault) || m_parser.isSet(o.relief)))
        return Failed::Failed(QStringLiteral("--time-scale, --fault and --relief need --simulate"));
    if (!m_parser.isSet(o.script) && m_parser.isSet(o.autoTimeout))
        return Failed::Failed(QStringLiteral("--auto-timeout needs --auto"));
    orvex::HostRunRequest run;
    run.file = file;
    run.standards = m_parser.values(o.standard);
    if (!m_parser.isSet(o.noArchive)) run.archive = m_parser.value(o.database);
    if (m_parser.isSet(o.noArchive) && m_parser.isSet(o.database))
        return Failed::Failed(QStringLiteral("--no-archive and --database exclude each other"));
    if (m_parser.isSet(o.autoTimeout)) {
        bool ok = false;
        run.timeoutSeconds = m_parser.value(o.autoTimeout).toInt(&ok);
        if (!ok || run.timeoutSeconds < 1 || run.timeoutSeconds > orvex::HostRunRequest::kMaxTimeout) {
            return Failed::Failed(QStringLiteral("--auto-timeout takes whole seconds from 1 to %1")
                                      .arg(orvex::HostRunRequest::kMaxTimeout));
        }
    }
    if (m_parser.isSet(o.script)) {
        try {
            run.script = orvex::HostScript::Load(m_parser.value(o.script));
        } catch (const orvex::ComError& e) {
            return Failed::Failed(e.Description());
        }
    }
    orvex::HostKorotka::Source source;
    if (m_parser.isSet(o.device)) source.devicePath = m_parser.value(o.device);
    if (m_parser.isSet(o.simulate)) {
        korotkasim::SimOptions& simulation = source.simulation.emplace();
        if (m_parser.isSet(o.timeScale)) {
            bool ok = false;
            simulation.timeScale = m_parser.value(o.timeScale).toDouble(&ok);
            if (!ok)
                return Failed::Failed(
                    QStringLiteral("--time-scale \"%1\" is no number").arg(m_parser.value(o.timeScale)));
        }
        if (m_parser.isSet(o.relief)) {
            bool ok = false;
            simulation.reliefMmHg = m_parser.value(o.relief).toDouble(&ok);
            if (!ok)
                return Failed::Failed(
                    QStringLiteral("--relief \"%1\" is no number").arg(m_parser.value(o.relief)));
        }
        if (m_parser.isSet(o.fault)) {
            const auto fault = korotkasim::FaultFromName(m_parser.value(o.fault).toStdString());
            if (!fault)
                return Failed::Failed(
                    QStringLiteral("no simulator fault \"%1\"").arg(m_parser.value(o.fault)));
            simulation.fault = *fault;
        }
    }
    const auto korotka = orvex::HostKorotka::Use(m_environment, source);
    if (!korotka) return Failed::Failed(korotka.Why());
    run.keepAlive = korotka->keepAlive;
    return run;
}

// The main window over the plug-in, with the driver for Identify.
int OrvexCommands::WindowCommand(const QStringList& arguments) {
    const QString file = arguments.value(0);
    TellLeftover(file);
    m_environment.Loader().Load(QStringLiteral("KorotkaVTI"), orvex::HostInstallation::LibraryFolder() +
                                                                  QStringLiteral("/liborvexKorotkaVTI.so"));
    orvex::HostMainWindow window(m_environment, m_plugIn,
                                 [] { return orvex::HostKorotka::StartSimulator(korotkasim::SimOptions{}); });
    window.SetDatabase(m_parser.value(m_options.database), !m_parser.isSet(m_options.noArchive));
    if (!file.isEmpty() && !window.Open(file)) return kExitUsage;
    window.show();
    window.OfferRecovery();
    return QApplication::exec();
}

int OrvexCommands::TestsCommand(const QStringList&) {
    Print(stdout, orvex::HostVisitText::Tests(*m_plugIn));
    return kExitOk;
}

int OrvexCommands::ProceduresCommand(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        Print(stdout, orvex::HostVisitText::Procedures(orvex::HostProcedure::Found()));
        return kExitOk;
    }
    const QString file = orvex::HostProcedure::Locate(arguments.first());
    const orvex::HostSequence visit = orvex::HostProcedure::MakeVisit(file, m_plugIn);
    const orvex::HostVisitRecord::Configuration configuration{m_environment.Language()};
    Print(stdout,
          orvex::HostVisitText::Procedure({orvex::HostProcedure::ReadHeading(file), file, {}},
                                          orvex::HostVisitRecord::FromSequence(visit, &configuration)));
    return kExitOk;
}

// The tests are test ids or names of templates (case does not matter), or those of a procedure.
int OrvexCommands::NewCommand(const QStringList& arguments) {
    if (m_parser.isSet(m_options.procedure)) {
        if (arguments.size() > 1 || m_parser.isSet(m_options.patient))
            return Usage(QStringLiteral("a visit from a procedure takes its tests and limits from it alone"));
        orvex::HostSequence visit = orvex::HostProcedure::MakeVisit(
            orvex::HostProcedure::Locate(m_parser.value(m_options.procedure)), m_plugIn);
        SetAsset(visit);
        visit.Save(arguments.first());
        return kExitOk;
    }
    if (arguments.size() < 2) return Usage(QStringLiteral("new takes the tests, or --procedure"));
    orvex::HostSequence sequence(m_plugIn);
    SetAsset(sequence);
    const auto templates = m_plugIn->Tests();
    for (const QString& test : arguments.mid(1)) {
        bool isNumber = false;
        const int32_t number = test.toInt(&isNumber);
        std::optional<int32_t> found;
        for (int32_t i = 1; i <= templates->Count() && !found; ++i) {
            const auto element = templates->Item(i);
            if (isNumber ? element->TestID() == number
                         : element->Info()->Name().compare(test, Qt::CaseInsensitive) == 0)
                found = element->TestID();
        }
        if (!found)
            return Usage(QStringLiteral("the plug-in has no test \"%1\" (see orvex tests)").arg(test));
        sequence.Append(*found, m_request.patient);
    }
    sequence.Save(arguments.first());
    return kExitOk;
}

int OrvexCommands::RunCommand(const QStringList& arguments) {
    orvex::HostSequence sequence = Loaded(arguments.first());
    const auto run = ReadRun(arguments.first());
    if (!run) return Usage(run.Why());
    TellLeftover(run->file);
    const auto end = run->Perform(m_environment, sequence);
    if (!end) return Usage(end.Why());
    for (const auto& notice : end->notices) Print(stderr, orvex::HostConsoleText::Notice(notice));
    return static_cast<int>(end->exit);
}

int OrvexCommands::ShowCommand(const QStringList& arguments) {
    // The configuration tells repeats of a test apart from tests of one template set otherwise.
    const orvex::HostVisitRecord::Configuration configuration{m_environment.Language()};
    Print(stdout, orvex::HostVisitText::Show(
                      orvex::HostVisitRecord::FromSequence(Loaded(arguments.first()), &configuration)));
    return kExitOk;
}

orvex::HostResult<int> OrvexCommands::Count(const QCommandLineOption& option, int fallback, int least,
                                            int most, const QString& what) const {
    if (!m_parser.isSet(option)) return fallback;
    bool number = false;
    const int count = m_parser.value(option).toInt(&number);
    if (!number || count < least || count > most)
        return orvex::HostResult<int>::Failed(QStringLiteral("--%1 takes %2 from %3 to %4, not \"%5\"")
                                                  .arg(option.names().constFirst(), what)
                                                  .arg(least)
                                                  .arg(most)
                                                  .arg(m_parser.value(option)));
    return count;
}

// A sequence file's asset fields; or, for a file or an asset id alone, the asset's test interval.
int OrvexCommands::AssetCommand(const QStringList& arguments) {
    const OrvexOptions& o = m_options;
    const QString& given = arguments.first();
    const auto months =
        Count(o.interval, 0, 1, orvex::HostResultsDatabase::kLongestInterval, QStringLiteral("months"));
    if (!months) return Usage(months.Why());
    if (m_parser.isSet(o.database) && !m_parser.isSet(o.interval))
        return Usage(QStringLiteral("asset takes --database only with --interval"));
    QString assetId = given;
    const QCommandLineOption* const fields[] = {&o.assetId, &o.assetMakeModel, &o.assetSerial,
                                                &o.assetLocation, &o.technician};
    const bool edited =
        std::any_of(std::begin(fields), std::end(fields),
                    [this](const QCommandLineOption* option) { return m_parser.isSet(*option); });
    if (QFileInfo(given).isFile() || !m_parser.isSet(o.interval)) {
        orvex::HostSequence sequence = Loaded(given);
        // An interval alone leaves the file as it is.
        if (edited || !m_parser.isSet(o.interval)) {
            SetAsset(sequence);
            sequence.Save(given);
        }
        assetId = sequence.AssetUnderTest().id;
        if (assetId.isEmpty() && m_parser.isSet(o.interval))
            return Usage(QStringLiteral("%1 names no asset (see orvex asset --asset-id)").arg(given));
    } else if (edited) {
        return Usage(QStringLiteral("no sequence file %1: an asset id takes --interval alone").arg(given));
    }
    if (!m_parser.isSet(o.interval)) return kExitOk;
    orvex::HostResultsDatabase database(m_parser.value(o.database));
    database.SetInterval(assetId, *months);
    Print(stdout, QStringLiteral("orvex: %1 is tested every %2 months (kept in %3)")
                      .arg(assetId)
                      .arg(*months)
                      .arg(database.Location()));
    return kExitOk;
}

int OrvexCommands::ReportCommand(const QStringList& arguments) {
    const OrvexOptions& o = m_options;
    const orvex::HostSequence sequence = Loaded(arguments.first());
    if (!m_parser.isSet(o.pdf)) return Usage(QStringLiteral("report needs --pdf FILE"));
    const QString pageName = m_parser.isSet(o.page) ? m_parser.value(o.page) : QStringLiteral("a4");
    const auto page = orvex::HostReportWriter::PageFromName(pageName);
    if (!page)
        return Usage(QStringLiteral("--page takes a4 or letter, not \"%1\"").arg(m_parser.value(o.page)));
    orvex::HostReportWriter writer(sequence, m_environment.Language());
    if (const auto why = writer.ReadHistory(m_parser.value(o.database)))
        Print(stderr, QStringLiteral("orvex: warning: the report shows no trends: %1").arg(*why));
    writer.WritePdf(m_parser.value(o.pdf), *page);
    if (m_parser.isSet(o.html)) writer.WriteHtml(m_parser.value(o.html));
    return kExitOk;
}

int OrvexCommands::ExportCommand(const QStringList& arguments) {
    const orvex::HostSequence sequence = Loaded(arguments.first());
    if (!m_parser.isSet(m_options.json) && !m_parser.isSet(m_options.csv))
        return Usage(QStringLiteral("export needs --json or --csv"));
    const orvex::HostExporter exporter(sequence, m_environment.Language());
    if (m_parser.isSet(m_options.json)) exporter.WriteJson(m_parser.value(m_options.json));
    if (m_parser.isSet(m_options.csv)) exporter.WriteCsv(m_parser.value(m_options.csv));
    return kExitOk;
}

int OrvexCommands::ArchiveCommand(const QStringList& arguments) {
    const QString& file = arguments.first();
    const auto visit = orvex::HostVisitRecord::FromSequence(Loaded(file));
    if (visit.assetId.isEmpty())
        return Usage(QStringLiteral("%1 names no asset (see orvex asset --asset-id)").arg(file));
    orvex::HostResultsDatabase database(m_parser.value(m_options.database));
    const auto stored = database.Store(visit, file, QStringLiteral("archive"));
    Print(stdout, orvex::HostConsoleText::Stored(stored, visit.assetId, database.Location()));
    return kExitOk;
}

// The newest visits only (--limit): a long history is read no further than it is shown.
int OrvexCommands::HistoryCommand(const QStringList& arguments) {
    const OrvexOptions& o = m_options;
    int limit = OrvexOptions::kDefaultLimit;
    if (m_parser.isSet(o.limit)) {
        bool number = false;
        limit = m_parser.value(o.limit).toInt(&number);
        if (!number || limit < 0)
            return Usage(QStringLiteral("--limit takes a number of visits (0 for all), not \"%1\"")
                             .arg(m_parser.value(o.limit)));
    }
    orvex::HostResultsDatabase database(m_parser.value(o.database), orvex::HostResultsDatabase::Access::Read);
    const QString& assetId = arguments.first();
    const QString key = m_parser.isSet(o.trend) ? m_parser.value(o.trend) : QString();
    // One more than is shown tells whether there are more.
    auto visits = database.History(
        assetId, limit > 0 && limit < std::numeric_limits<int>::max() ? limit + 1 : limit, key);
    const bool limited = limit > 0 && visits.size() > limit;
    if (limited) visits.resize(limit);
    Print(stderr, orvex::HostHistoryText::Notes(visits, limited, assetId, key, database.Location()));
    if (m_parser.isSet(o.jsonList)) {
        std::fputs(orvex::HostHistoryText::Json(visits).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        const bool revisions = key.isNull() && m_parser.isSet(o.revisions);
        for (const auto& visit : visits)
            Print(stdout,
                  orvex::HostHistoryText::Lines(visit, key,
                                                revisions ? database.Revisions(visit.revision.visit)
                                                          : QList<orvex::HostResultsDatabase::Visit>()));
    }
    if (!key.isNull() && !m_parser.isSet(o.jsonList)) {
        // The line through the newest of the shown visits, with the band of the newest visit's limits.
        orvex::HostDrift drift;
        std::optional<orvex::HostVisitRecord::Reading> newest;
        for (const auto& visit : visits) {
            const auto reading = orvex::HostFleet::JudgedReading(visit.record, key);
            if (!reading) continue;
            if (!newest) newest = *reading;
            drift.Add(QDateTime::fromString(visit.record.performed, Qt::ISODate), *reading->value);
        }
        const auto band =
            orvex::HostDrift::Band::Of(newest ? newest->limits : QList<orvex::HostVisitRecord::Limit>());
        const auto line = drift.Fit(band);
        if (line) {
            // Beside the notes: the lines on stdout stay one per visit.
            Print(stderr, QStringLiteral("orvex: drift: %1")
                              .arg(orvex::HostFleetText::Drift(*line, band, newest->unit)));
        } else if (newest) {
            Print(stderr,
                  QStringLiteral("orvex: no drift is shown: it needs %1 visits or more judged against a "
                                 "limit, a month apart or more, and a straight line that fits them (R² %2 or "
                                 "more) and reaches a limit")
                      .arg(orvex::HostDrift::kLeastPoints)
                      .arg(orvex::HostDrift::kLeastFit));
        }
    }
    return orvex::HostHistoryText::Doubted(visits) ? kExitFailed : kExitOk;
}

// Every break in the chain of seals, then whether the store is whole; with a seal from paper, the
// revision it stands for.
int OrvexCommands::VerifyCommand(const QStringList&) {
    const QString given = m_parser.value(m_options.seal);
    const QString typed = m_parser.isSet(m_options.seal) ? orvex::HostRevision::Typed(given) : QString();
    if (m_parser.isSet(m_options.seal) && typed.isEmpty())
        return Usage(
            QStringLiteral("--seal takes a seal as a report prints it (at least 16 hex digits), not \"%1\"")
                .arg(given));
    orvex::HostResultsDatabase database(m_parser.value(m_options.database),
                                        orvex::HostResultsDatabase::Access::Read);
    const auto verification = database.Verify(typed);
    Print(stdout, orvex::HostVerifyText::Lines(verification, typed, database.Location()));
    return orvex::HostVerifyText::Whole(verification, typed) ? kExitOk : kExitFailed;
}

int OrvexCommands::DueCommand(const QStringList&) {
    const auto within = Count(m_options.within, orvex::HostFleet::kDueWithin, 0,
                              orvex::HostFleet::kLongestWithin, QStringLiteral("a number of days"));
    if (!within) return Usage(within.Why());
    orvex::HostResultsDatabase database(m_parser.value(m_options.database),
                                        orvex::HostResultsDatabase::Access::Read);
    const auto assets = orvex::HostFleet::Due(database, QDateTime::currentDateTimeUtc().date(), *within);
    if (assets.isEmpty())
        Print(stderr, QStringLiteral("orvex: no asset stored in %1 is overdue or due within %2 days")
                          .arg(database.Location())
                          .arg(*within));
    if (m_parser.isSet(m_options.jsonList)) {
        std::fputs(orvex::HostFleetText::DueJson(assets).toJson(QJsonDocument::Indented).constData(), stdout);
    } else {
        Print(stdout, orvex::HostFleetText::DueLines(assets));
    }
    return kExitOk;
}

int OrvexCommands::DriftCommand(const QStringList&) {
    const auto within = Count(m_options.within, orvex::HostFleet::kDriftWithin, 0,
                              orvex::HostFleet::kLongestWithin / 30, QStringLiteral("a number of months"));
    if (!within) return Usage(within.Why());
    orvex::HostResultsDatabase database(m_parser.value(m_options.database),
                                        orvex::HostResultsDatabase::Access::Read);
    const auto readings = orvex::HostFleet::Drift(database, QDateTime::currentDateTimeUtc(), *within);
    if (readings.isEmpty())
        Print(stderr,
              QStringLiteral("orvex: no reading stored in %1 is drifting out of its limits within %2 months")
                  .arg(database.Location())
                  .arg(*within));
    if (m_parser.isSet(m_options.jsonList)) {
        std::fputs(orvex::HostFleetText::DriftJson(readings).toJson(QJsonDocument::Indented).constData(),
                   stdout);
    } else {
        Print(stdout, orvex::HostFleetText::DriftLines(readings));
    }
    return kExitOk;
}

int OrvexCommands::FleetCommand(const QStringList&) {
    if (!m_parser.isSet(m_options.html)) return Usage(QStringLiteral("fleet needs --html FILE"));
    orvex::HostResultsDatabase database(m_parser.value(m_options.database),
                                        orvex::HostResultsDatabase::Access::Read);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // Every asset: its due date lies within the longest look ahead.
    const auto assets = orvex::HostFleet::Due(database, now.date(), orvex::HostFleet::kLongestWithin);
    const auto overview = orvex::HostFleet::Details(database, now, orvex::HostFleet::kDriftWithin);
    orvex::HostAtomicFile::Write(
        m_parser.value(m_options.html),
        orvex::HostFleetPage::Html(assets, overview.drifting, overview.details, now, database.Location())
            .toUtf8(),
        QStringLiteral("orvex.fleet"));
    Print(stdout, QStringLiteral("orvex: %1 assets, %2 drifting readings written to %3")
                      .arg(assets.size())
                      .arg(overview.drifting.size())
                      .arg(m_parser.value(m_options.html)));
    return kExitOk;
}

}  // namespace orvexapp
