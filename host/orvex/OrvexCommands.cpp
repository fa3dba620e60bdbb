#include "OrvexCommands.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRunEnd.h"
#include "host/archive/HostVisitRecord.h"
#include "host/output/HostExporter.h"
#include "host/output/HostReportWriter.h"
#include "host/platform/HostInstallation.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostPlugInLoader.h"
#include "host/platform/HostSettingsFile.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostRun.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVerdict.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ComError.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "sim/Simulator.h"

namespace orvexapp {

namespace {

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
    OrvexCommands::Print(stdout, QStringLiteral("%1 %2").arg(plugIn.Name(), plugIn.Version()));
    const auto tests = plugIn.Tests();
    for (int32_t i = 1; i <= tests->Count(); ++i) {
        const auto element = tests->Item(i);
        const auto info = element->Info();
        OrvexCommands::Print(stdout, QStringLiteral("%1  %2").arg(element->TestID(), 3).arg(info->Name()));
        OrvexCommands::Print(stdout, QStringLiteral("     %1: %2").arg(info->Type(), info->Parameter()));
        OrvexCommands::Print(stdout, QStringLiteral("     %1").arg(info->Description()));
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
            return OrvexCommands::Usage(
                QStringLiteral("the plug-in has no test \"%1\" (see orvex tests)").arg(test));
        sequence.Append(*testId, patient);
    }
    sequence.Save(file);
    return OrvexCommands::kExitOk;
}

// The fields of a test's line in `orvex show` and `orvex history`: name, status word, then
// KEY=VALUE per reading.
QStringList TestFields(const orvex::HostVisitRecord::Test& test) {
    QStringList fields{OneField(test.name), test.status};
    for (const auto& reading : test.readings)
        fields << OneField(orvex::HostResultText::KeyValue(
            reading.key, orvex::HostResultText::WithUnit(reading.valueText, reading.unit)));
    return fields;
}

// One line per test: position, name, status word, then KEY=VALUE per measurement.
void ShowSequence(const orvex::HostSequence& sequence) {
    for (const auto& test : orvex::HostVisitRecord::FromSequence(sequence).tests)
        OrvexCommands::Print(
            stdout, (QStringList{QString::number(test.position)} + TestFields(test)).join(QLatin1Char('\t')));
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
    int timeoutSeconds = OrvexOptions::kDefaultAutoTimeout;
    // The results database the visit goes into; none: not archived.
    std::optional<QString> archive;
};

// A notice of the run's end, as the command line words it.
void Tell(const orvex::HostRunEnd::Notice& notice) {
    using Kind = orvex::HostRunEnd::Notice::Kind;
    switch (notice.kind) {
        case Kind::RunError:
            OrvexCommands::Print(stderr, OrvexCommands::ErrorText(*notice.error));
            break;
        case Kind::NotSaved:
            OrvexCommands::Print(
                stderr, QStringLiteral("orvex: the sequence could not be saved: %1").arg(notice.text));
            OrvexCommands::Print(
                stderr,
                notice.file.isEmpty()
                    ? QStringLiteral("orvex: the results of the run could not be kept anywhere")
                    : QStringLiteral("orvex: the results of the run are kept in %1").arg(notice.file));
            break;
        case Kind::NotArchived:
            OrvexCommands::Print(
                stderr,
                notice.file.isEmpty()
                    ? QStringLiteral("orvex: warning: the visit was not archived: %1").arg(notice.text)
                    : QStringLiteral("orvex: warning: the visit was not archived: %1; orvex archive %2 "
                                     "stores it later")
                          .arg(notice.text, notice.file));
            break;
        case Kind::ScriptNotFollowed:
            OrvexCommands::Print(stderr, notice.text);
            break;
        case Kind::Aborted:
            OrvexCommands::Print(stderr, QStringLiteral("orvex: the run was aborted"));
            break;
        case Kind::NotJudged:
            OrvexCommands::Print(stderr,
                                 QStringLiteral("orvex: test %1 (%2) is not judged: no limit applies to its "
                                                "readings; give it a limit set in the limit editor")
                                     .arg(notice.position)
                                     .arg(notice.text));
            break;
    }
}

int Archive(const orvex::HostSequence& sequence, const QString& file, const QString& url) {
    const auto visit = orvex::HostVisitRecord::FromSequence(sequence);
    if (visit.assetId.isEmpty())
        return OrvexCommands::Usage(
            QStringLiteral("%1 names no asset (see orvex asset --asset-id)").arg(file));
    orvex::HostResultsDatabase database(url);
    using Stored = orvex::HostResultsDatabase::Stored;
    const Stored stored = database.Store(visit, file, QStringLiteral("archive"));
    OrvexCommands::Print(
        stdout,
        stored == Stored::New
            ? QStringLiteral("the visit of %1 is stored in %2").arg(visit.assetId, database.Location())
        : stored == Stored::Revised
            ? QStringLiteral("the visit of %1 is stored in %2 as a new revision of it (orvex history %1 "
                             "--revisions shows what changed)")
                  .arg(visit.assetId, database.Location())
            : QStringLiteral("the visit of %1 was stored in %2 before; nothing changed")
                  .arg(visit.assetId, database.Location()));
    return OrvexCommands::kExitOk;
}

// What a history line says of a visit the store cannot vouch for.
QStringList Marks(const orvex::HostResultsDatabase::Visit& visit) {
    QStringList marks;
    if (visit.altered) marks << QStringLiteral("altered after it was stored");
    if (visit.broken) marks << QStringLiteral("after a break in the seals (orvex verify names it)");
    return marks;
}

// A history that shows what the store cannot vouch for does not end as if all were well.
int Doubted(const QList<orvex::HostResultsDatabase::Visit>& visits) {
    const bool doubted = std::any_of(visits.begin(), visits.end(),
                                     [](const auto& visit) { return visit.altered || visit.broken; });
    return doubted ? OrvexCommands::kExitFailed : OrvexCommands::kExitOk;
}

// A line per revision: its number, when and by which command, and what it changed.
void PrintRevisions(const QList<orvex::HostResultsDatabase::Visit>& revisions) {
    for (qsizetype i = 0; i < revisions.size(); ++i) {
        const auto& revision = revisions[i];
        QStringList changes;
        if (i == 0) {
            changes << QStringLiteral("first stored");
        } else {
            const QJsonObject before = revisions[i - 1].record.Json(), after = revision.record.Json();
            for (const QString& field : after.keys()) {
                if (field == QLatin1String("tests")) continue;
                const QJsonValue was = before.value(field), now = after.value(field);
                if (was == now) continue;
                if (!now.isObject()) {
                    changes << QStringLiteral("%1 %2 -> %3")
                                   .arg(field, OneField(was.toVariant().toString()),
                                        OneField(now.toVariant().toString()));
                    continue;
                }
                for (const QString& part : now.toObject().keys()) {
                    const QString a = was.toObject().value(part).toString(),
                                  b = now.toObject().value(part).toString();
                    if (a != b)
                        changes
                            << QStringLiteral("%1 %2 %3 -> %4").arg(field, part, OneField(a), OneField(b));
                }
            }
            const auto& was = revisions[i - 1].record.tests;
            for (const auto& test : revision.record.tests) {
                const auto old = std::find_if(was.begin(), was.end(),
                                              [&](const auto& t) { return t.position == test.position; });
                if (old == was.end()) {
                    changes << QStringLiteral("test %1 added").arg(test.position);
                } else if (old->status != test.status) {
                    changes << QStringLiteral("test %1 %2 -> %3")
                                   .arg(test.position)
                                   .arg(old->status, test.status);
                } else if (old->performed != test.performed) {
                    changes << QStringLiteral("test %1 performed again").arg(test.position);
                }
            }
            if (was.size() > revision.record.tests.size())
                changes << QStringLiteral("%1 tests fewer").arg(was.size() - revision.record.tests.size());
            if (changes.isEmpty()) changes << QStringLiteral("readings changed");
        }
        QStringList line{QStringLiteral("  revision %1").arg(revision.revision.number),
                         revision.revision.archived, revision.revision.command,
                         changes.join(QStringLiteral("; "))};
        OrvexCommands::Print(stdout, (line + Marks(revision)).join(QLatin1Char('	')));
    }
}

// Text: a line per visit (performed, technician, verdict, file, and whether it was altered), then
// a line per test like orvex show. --trend: a line per visit for one reading. --json: the records.
// The newest visits only (--limit): a long history is read no further than it is shown.
int History(const QCommandLineParser& parser, const OrvexOptions& o, const QString& assetId) {
    int limit = OrvexOptions::kDefaultLimit;
    if (parser.isSet(o.limit)) {
        bool number = false;
        limit = parser.value(o.limit).toInt(&number);
        if (!number || limit < 0)
            return OrvexCommands::Usage(
                QStringLiteral("--limit takes a number of visits (0 for all), not \"%1\"")
                    .arg(parser.value(o.limit)));
    }
    orvex::HostResultsDatabase database(parser.value(o.database), orvex::HostResultsDatabase::Access::Read);
    const QString key = parser.isSet(o.trend) ? parser.value(o.trend) : QString();
    // One more than is shown tells whether there are more.
    auto visits = database.History(
        assetId, limit > 0 && limit < std::numeric_limits<int>::max() ? limit + 1 : limit, key);
    if (limit > 0 && visits.size() > limit) {
        visits.resize(limit);
        OrvexCommands::Print(stderr, QStringLiteral("orvex: the newest %1 visits are shown, more are stored "
                                                    "(--limit N shows N, --limit 0 all)")
                                         .arg(limit));
    }
    if (visits.isEmpty())
        OrvexCommands::Print(
            stderr,
            key.isNull()
                ? QStringLiteral("orvex: no visit of %1 is stored in %2").arg(assetId, database.Location())
                : QStringLiteral("orvex: no visit of %1 stored in %2 has a reading %3")
                      .arg(assetId, database.Location(), key));
    if (parser.isSet(o.jsonList)) {
        QJsonArray array;
        for (const auto& visit : visits) {
            QJsonObject object = visit.record.Json();
            object.insert(QStringLiteral("visit"), visit.revision.visit);
            object.insert(QStringLiteral("revision"), visit.revision.number);
            object.insert(QStringLiteral("seal"), visit.revision.seal);
            object.insert(QStringLiteral("file"), visit.file);
            object.insert(QStringLiteral("archived"), visit.revision.archived);
            object.insert(QStringLiteral("altered"), visit.altered);
            object.insert(QStringLiteral("afterBreak"), visit.broken);
            array.append(object);
        }
        std::fputs(QJsonDocument(array).toJson(QJsonDocument::Indented).constData(), stdout);
        return Doubted(visits);
    }
    for (const auto& visit : visits) {
        const auto& record = visit.record;
        if (!key.isNull()) {
            for (const auto& test : record.tests) {
                const auto reading = std::find_if(test.readings.begin(), test.readings.end(),
                                                  [&](const auto& r) { return r.key == key; });
                if (reading == test.readings.end()) continue;
                OrvexCommands::Print(
                    stdout, (QStringList{record.performed,
                                         orvex::HostResultText::WithUnit(reading->valueText, reading->unit),
                                         reading->status} +
                             Marks(visit))
                                .join(QLatin1Char('\t')));
                break;
            }
            continue;
        }
        OrvexCommands::Print(
            stdout, (QStringList{record.performed, OneField(record.technician), record.verdict, visit.file} +
                     Marks(visit))
                        .join(QLatin1Char('\t')));
        for (const auto& test : record.tests) {
            OrvexCommands::Print(stdout,
                                 (QStringList{QStringLiteral("  %1").arg(test.position)} + TestFields(test))
                                     .join(QLatin1Char('\t')));
        }
        if (parser.isSet(o.revisions)) PrintRevisions(database.Revisions(visit.revision.visit));
    }
    return Doubted(visits);
}

// Every break in the chain of seals, then whether the store is whole; with a seal from paper, the
// revision it stands for.
int Verify(const QCommandLineParser& parser, const OrvexOptions& o) {
    const QString typed = parser.isSet(o.seal) ? orvex::HostRevision::Typed(parser.value(o.seal)) : QString();
    if (parser.isSet(o.seal) && typed.isEmpty())
        return OrvexCommands::Usage(
            QStringLiteral("--seal takes a seal as a report prints it (at least 16 hex digits), not \"%1\"")
                .arg(parser.value(o.seal)));
    orvex::HostResultsDatabase database(parser.value(o.database), orvex::HostResultsDatabase::Access::Read);
    const auto verification = database.Verify(typed);
    for (const auto& found : verification.breaks) {
        const QString where =
            found.position > 0
                ? QStringLiteral("revision %1 of visit %2 (asset %3, performed %4), position %5 in the chain")
                      .arg(found.revision)
                      .arg(found.visit, OneField(found.assetId), found.performed)
                      .arg(found.position)
            : found.assetId.isEmpty()
                ? QStringLiteral("stored rows")
                : QStringLiteral("a visit of %1 performed %2").arg(OneField(found.assetId), found.performed);
        OrvexCommands::Print(stdout, QStringLiteral("break: %1: %2").arg(where, found.what));
    }
    bool whole = verification.breaks.isEmpty();
    if (!typed.isEmpty()) {
        if (const auto& sealed = verification.sealed) {
            OrvexCommands::Print(stdout,
                                 QStringLiteral("the seal %1 is revision %2 of the visit of %3 performed %4, "
                                                "stored %5 by %6")
                                     .arg(orvex::HostRevision::Short(sealed->revision.seal))
                                     .arg(sealed->revision.number)
                                     .arg(OneField(sealed->record.assetId), sealed->record.performed,
                                          sealed->revision.archived, sealed->revision.command));
        } else {
            whole = false;
            OrvexCommands::Print(stdout,
                                 QStringLiteral("no revision stored in %1 carries the seal %2: the paper "
                                                "belongs to another store, or this one lost that revision")
                                     .arg(database.Location(), orvex::HostRevision::Short(typed)));
        }
    }
    OrvexCommands::Print(stdout, verification.breaks.isEmpty()
                                     ? QStringLiteral("%1 is whole: %2 revisions of %3 visits, last seal %4")
                                           .arg(database.Location())
                                           .arg(verification.revisions)
                                           .arg(verification.visits)
                                           .arg(orvex::HostRevision::Short(verification.last.seal))
                                     : QStringLiteral("%1 is not whole: %2 breaks in %3 revisions")
                                           .arg(database.Location())
                                           .arg(verification.breaks.size())
                                           .arg(verification.revisions));
    return whole ? OrvexCommands::kExitOk : OrvexCommands::kExitFailed;
}

int RunSequence(orvex::HostEnvironment& environment, orvex::HostSequence& sequence,
                const RunOptions& options) {
    if (const auto unknown = orvex::HostRun::UnknownStandard(sequence, options.standards)) {
        return OrvexCommands::Usage(
            QStringLiteral("no test of %1 has a standard \"%2\"").arg(options.file, *unknown));
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
    if (technician) technician->Finish();
    orvex::HostRunEnd::Options ending;
    ending.database = options.archive;
    ending.command = QStringLiteral("run");
    if (technician && technician->Failed()) ending.scriptFailure = technician->Failure();
    const auto end = orvex::HostRunEnd::Close(sequence, outcome, saver, ending);
    for (const auto& notice : end.notices) Tell(notice);
    return static_cast<int>(end.exit);
}

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

// Results a save of the file may have left beside it when it did not end; the window offers them.
void TellLeftover(const std::shared_ptr<orvex::IPlugIn>& plugIn, const QString& file) {
    orvex::HostSequence sequence(plugIn);
    const QString leftover = orvex::HostVisitSaver::Leftover(file, sequence);
    if (leftover.isEmpty()) return;
    OrvexCommands::Print(stderr,
                         QStringLiteral("orvex: %1, left by a save of %2 that did not end, is newer and "
                                        "may hold newer results; `orvex open %2` offers to take them")
                             .arg(leftover, file));
}

// The main window over the plug-in, with the driver for Identify.
int ShowMainWindow(const QCommandLineParser& parser, const OrvexOptions& o,
                   orvex::HostEnvironment& environment, const std::shared_ptr<orvex::IPlugIn>& plugIn,
                   const QString& file) {
    environment.Loader().Load(QStringLiteral("KorotkaVTI"), orvex::HostInstallation::LibraryFolder() +
                                                                QStringLiteral("/liborvexKorotkaVTI.so"));
    orvex::HostMainWindow window(
        environment, plugIn, []() -> orvex::HostResult<orvex::HostMainWindow::Korotka> {
            korotkasim::SimOptions options;
            QString why;
            const auto simulator = StartSimulator(options, why);
            if (!simulator) return orvex::HostResult<orvex::HostMainWindow::Korotka>::Failed(why);
            return orvex::HostMainWindow::Korotka{QString::fromStdString(simulator->SlavePath()),
                                                  QString::fromStdString(options.serial),
                                                  QString::fromStdString(options.firmware), simulator};
        });
    window.SetDatabase(parser.value(o.database), !parser.isSet(o.noArchive));
    if (!file.isEmpty() && !window.Open(file)) return OrvexCommands::kExitUsage;
    window.show();
    window.OfferRecovery();
    return QApplication::exec();
}

// The options of `run`, checked; an empty text when they are sound, otherwise what is wrong.
// A started simulator is handed out in simulator; it runs until that is let go of.
QString ReadRunOptions(const QCommandLineParser& parser, const OrvexOptions& o,
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
    if (!parser.isSet(o.noArchive)) run.archive = parser.value(o.database);
    if (parser.isSet(o.noArchive) && parser.isSet(o.database))
        return QStringLiteral("--no-archive and --database exclude each other");
    if (parser.isSet(o.autoTimeout)) {
        bool ok = false;
        run.timeoutSeconds = parser.value(o.autoTimeout).toInt(&ok);
        if (!ok || run.timeoutSeconds < 1 || run.timeoutSeconds > OrvexOptions::kMaxAutoTimeout) {
            return QStringLiteral("--auto-timeout takes whole seconds from 1 to %1")
                .arg(OrvexOptions::kMaxAutoTimeout);
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

// The asset and technician options given, set on the sequence.
void SetAsset(const QCommandLineParser& parser, const OrvexOptions& o, orvex::HostSequence& sequence) {
    orvex::HostSequence::Asset asset = sequence.AssetUnderTest();
    for (const auto& [option, field] :
         {std::pair{&o.assetId, &asset.id}, std::pair{&o.assetMakeModel, &asset.makeModel},
          std::pair{&o.assetSerial, &asset.serialNo}, std::pair{&o.assetLocation, &asset.location}}) {
        if (parser.isSet(*option)) *field = parser.value(*option);
    }
    sequence.SetAsset(asset);
    if (parser.isSet(o.technician)) sequence.SetTechnician(parser.value(o.technician));
}

int WriteReport(const QCommandLineParser& parser, const OrvexOptions& o, orvex::HostEnvironment& environment,
                const orvex::HostSequence& sequence) {
    if (!parser.isSet(o.pdf)) return OrvexCommands::Usage(QStringLiteral("report needs --pdf FILE"));
    const auto page = orvex::HostReportWriter::PageFromName(parser.isSet(o.page) ? parser.value(o.page)
                                                                                 : QStringLiteral("a4"));
    if (!page)
        return OrvexCommands::Usage(
            QStringLiteral("--page takes a4 or letter, not \"%1\"").arg(parser.value(o.page)));
    orvex::HostReportWriter writer(sequence, environment.Language());
    if (const auto why = writer.ReadHistory(parser.value(o.database)))
        OrvexCommands::Print(stderr,
                             QStringLiteral("orvex: warning: the report shows no trends: %1").arg(*why));
    writer.WritePdf(parser.value(o.pdf), *page);
    if (parser.isSet(o.html)) writer.WriteHtml(parser.value(o.html));
    return OrvexCommands::kExitOk;
}

int Export(const QCommandLineParser& parser, const OrvexOptions& o, orvex::HostEnvironment& environment,
           const orvex::HostSequence& sequence) {
    if (!parser.isSet(o.json) && !parser.isSet(o.csv))
        return OrvexCommands::Usage(QStringLiteral("export needs --json or --csv"));
    const orvex::HostExporter exporter(sequence, environment.Language());
    if (parser.isSet(o.json)) exporter.WriteJson(parser.value(o.json));
    if (parser.isSet(o.csv)) exporter.WriteCsv(parser.value(o.csv));
    return OrvexCommands::kExitOk;
}

}  // namespace

void OrvexCommands::Print(FILE* stream, const QString& text) {
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
}

int OrvexCommands::Usage(const QString& text) {
    Print(stderr, QStringLiteral("orvex: %1 (see orvex --help)").arg(text));
    return kExitUsage;
}

QString OrvexCommands::ErrorText(const orvex::ComError& e) {
    // The platform's own errors are small numbers; the plug-ins' are shown in hex as they are documented.
    const auto number = static_cast<uint32_t>(e.Number());
    const QString code = number < 0x10000 ? QString::number(number)
                                          : QStringLiteral("0x%1").arg(number, 8, 16, QLatin1Char('0'));
    return QStringLiteral("orvex: error %1 in %2: %3").arg(code, e.Source(), e.Description());
}

int OrvexCommands::Fail(const orvex::ComError& e, int status) {
    Print(stderr, ErrorText(e));
    return status;
}

OrvexCommands::OrvexCommands(const QCommandLineParser& parser, const OrvexOptions& options,
                             orvex::HostEnvironment& environment, std::shared_ptr<orvex::IPlugIn> plugIn,
                             orvex::HostShippedStandards::Patient patient)
    : m_parser(parser),
      m_options(options),
      m_environment(environment),
      m_plugIn(std::move(plugIn)),
      m_patient(patient) {}

const std::vector<OrvexCommands::Command>& OrvexCommands::Commands() {
    static const std::vector<Command> commands{
        {QStringLiteral("open"), 0, 1, {}, &OrvexCommands::WindowCommand},
        {QStringLiteral("tests"), 0, 0,
         QStringLiteral(
             "  tests                 list the tests the plug-in offers (test id, name, type and parameter,\n"
             "                        description)\n"),
         &OrvexCommands::TestsCommand},
        {QStringLiteral("new"), 2, -1,
         QStringLiteral(
             "  new FILE TEST...      make a sequence of these tests (test ids or template names) in FILE\n"),
         &OrvexCommands::NewCommand},
        {QStringLiteral("run"), 1, 1,
         QStringLiteral(
             "  run FILE [--device PATH | --simulate [--time-scale X] [--fault NAME]] [--standard NAME]...\n"
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
        {QStringLiteral("show"), 1, 1,
         QStringLiteral(
             "  show FILE             one line per test: position, name, status (not-measured, passed,\n"
             "                        failed, not-applicable) and KEY=VALUE per measurement, "
             "tab-separated\n"),
         &OrvexCommands::ShowCommand},
        {QStringLiteral("asset"), 1, 1,
         QStringLiteral(
             "  asset FILE [--asset-id X] [--asset-make-model X] [--asset-serial X] [--asset-location X]\n"
             "          [--technician NAME]\n"
             "                        set the equipment under test and the technician (also on new)\n"),
         &OrvexCommands::AssetCommand},
        {QStringLiteral("report"), 1, 1,
         QStringLiteral(
             "  report FILE --pdf OUT [--html OUT] [--page a4|letter] [--database URL]\n"
             "                        the report of the sequence: header, each test's configuration, limits\n"
             "                        and results, where each judged reading lies between its limits and,\n"
             "                        when the results database knows earlier visits, its trend over them\n"),
         &OrvexCommands::ReportCommand},
        {QStringLiteral("export"), 1, 1,
         QStringLiteral(
             "  export FILE [--json OUT] [--csv OUT]\n"
             "                        the results for a maintenance database (formats: see the README)\n"),
         &OrvexCommands::ExportCommand},
        {QStringLiteral("archive"), 1, 1,
         QStringLiteral(
             "  archive FILE [--database URL]\n"
             "                        store the visit in the results database; a visit stored before and\n"
             "                        changed since is stored as a new revision of it, never twice\n"),
         &OrvexCommands::ArchiveCommand},
        {QStringLiteral("history"), 1, 1,
         QStringLiteral(
             "  history ASSET-ID [--json | --trend KEY] [--limit N] [--revisions] [--database URL]\n"
             "                        the asset's visits, newest first, each once: when, technician, "
             "verdict\n"
             "                        and each test's readings; --trend one line per visit for the reading\n"
             "                        KEY. The newest 50 are shown; --limit N shows N, --limit 0 all of "
             "them.\n"
             "                        Exit status 1 when a visit shown was altered or follows a break in "
             "the\n"
             "                        seals\n"),
         &OrvexCommands::HistoryCommand},
        {QStringLiteral("verify"), 0, 0,
         QStringLiteral(
             "  verify [--seal TEXT] [--database URL]\n"
             "                        walk the chain of seals over every stored revision and name each "
             "break\n"
             "                        (exit status 1) or say the store is whole (0); --seal looks up a seal\n"
             "                        a report printed\n"),
         &OrvexCommands::VerifyCommand},
    };
    return commands;
}

const OrvexCommands::Command* OrvexCommands::Find(const QStringList& arguments) {
    const QString name = arguments.isEmpty() ? QStringLiteral("open") : arguments.first();
    for (const Command& command : Commands()) {
        if (command.name != name) continue;
        const qsizetype given = std::max<qsizetype>(arguments.size() - 1, 0);
        const bool fits = given >= command.least && (command.most < 0 || given <= command.most);
        return fits ? &command : nullptr;
    }
    return nullptr;
}

QString OrvexCommands::Help() {
    QString help;
    for (const Command& command : Commands()) help += command.help;
    return help;
}

int OrvexCommands::Carry(const QStringList& arguments) {
    const Command* command = Find(arguments);
    if (command == nullptr) return Usage(QStringLiteral("unknown or incomplete command"));
    try {
        return (this->*command->carry)(arguments.mid(1));
    } catch (const orvex::ComError& e) {
        return Fail(e, kExitUsage);
    }
}

orvex::HostSequence OrvexCommands::Loaded(const QString& file) const {
    orvex::HostSequence sequence(m_plugIn);
    sequence.Load(file);
    return sequence;
}

int OrvexCommands::WindowCommand(const QStringList& arguments) {
    TellLeftover(m_plugIn, arguments.value(0));
    return ShowMainWindow(m_parser, m_options, m_environment, m_plugIn, arguments.value(0));
}

int OrvexCommands::TestsCommand(const QStringList&) {
    ListTests(*m_plugIn);
    return kExitOk;
}

int OrvexCommands::NewCommand(const QStringList& arguments) {
    orvex::HostSequence sequence(m_plugIn);
    SetAsset(m_parser, m_options, sequence);
    return NewSequence(*m_plugIn, sequence, arguments.first(), arguments.mid(1), m_patient);
}

int OrvexCommands::RunCommand(const QStringList& arguments) {
    orvex::HostSequence sequence = Loaded(arguments.first());
    std::shared_ptr<korotkasim::Simulator> simulator;
    RunOptions run;
    run.file = arguments.first();
    const QString problem = ReadRunOptions(m_parser, m_options, m_environment, simulator, run);
    if (!problem.isEmpty()) return Usage(problem);
    TellLeftover(m_plugIn, run.file);
    return RunSequence(m_environment, sequence, run);
}

int OrvexCommands::ShowCommand(const QStringList& arguments) {
    ShowSequence(Loaded(arguments.first()));
    return kExitOk;
}

int OrvexCommands::AssetCommand(const QStringList& arguments) {
    orvex::HostSequence sequence = Loaded(arguments.first());
    SetAsset(m_parser, m_options, sequence);
    sequence.Save(arguments.first());
    return kExitOk;
}

int OrvexCommands::ReportCommand(const QStringList& arguments) {
    return WriteReport(m_parser, m_options, m_environment, Loaded(arguments.first()));
}

int OrvexCommands::ExportCommand(const QStringList& arguments) {
    return Export(m_parser, m_options, m_environment, Loaded(arguments.first()));
}

int OrvexCommands::ArchiveCommand(const QStringList& arguments) {
    return Archive(Loaded(arguments.first()), arguments.first(), m_parser.value(m_options.database));
}

int OrvexCommands::HistoryCommand(const QStringList& arguments) {
    return History(m_parser, m_options, arguments.first());
}

int OrvexCommands::VerifyCommand(const QStringList&) { return Verify(m_parser, m_options); }

}  // namespace orvexapp
