#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "host/archive/HostFleet.h"
#include "host/archive/HostReadingTrend.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRunRequest.h"
#include "host/platform/HostResult.h"
#include "sim/Simulator.h"

namespace orvexapp {

// The options of orvex and their help. Each command names those it takes besides the ones every
// command takes; what takes a value, and what a command refuses, follow from that.
class OrvexOptions {
public:
    // How many visits history shows unless told: as many as the History tab lists.
    static constexpr int kDefaultLimit = orvex::HostReadingTrend::kSearched;

    using Option = QCommandLineOption OrvexOptions::*;
    // The options a command takes besides those every command takes.
    using Takes = std::vector<Option>;

    QCommandLineOption plugin{
        QStringLiteral("plugin"),
        QStringLiteral(
            "The plug-in library (default: liborvexKorotka.so in the folder of orvex's libraries)."),
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
    QCommandLineOption relief{
        QStringLiteral("relief"),
        QStringLiteral("run --simulate: the pressure at which the simulated monitor's relief valve opens, "
                       "in mmHg (default 300; a neonatal monitor's is lower)."),
        QStringLiteral("mmHg")};
    QCommandLineOption standard{
        QStringLiteral("standard"),
        QStringLiteral("run: judge against this standard (alpha or complete name; may be "
                       "given more than once; default: every standard of each test)."),
        QStringLiteral("name")};
    QCommandLineOption script{
        QStringLiteral("auto"),
        QStringLiteral("run: a scripted technician plays this script instead of a person."),
        QStringLiteral("script")};
    QCommandLineOption autoTimeout{QStringLiteral("auto-timeout"),
                                   QStringLiteral("run --auto: seconds each action may wait (default %1).")
                                       .arg(orvex::HostRunRequest::kDefaultTimeout),
                                   QStringLiteral("seconds")};
    QCommandLineOption procedure{
        QStringLiteral("procedure"),
        QStringLiteral("new: make the visit from this procedure, a name orvex procedures lists or a "
                       "procedure file; its tests, settings, limits and repeats come from it."),
        QStringLiteral("name")};
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
    QCommandLineOption html{
        QStringLiteral("html"),
        QStringLiteral("report: also write it as HTML to this file; fleet: the page's file."),
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
    QCommandLineOption jsonList{
        QStringLiteral("json"),
        QStringLiteral("history, due, drift: the list as JSON (for these, --json takes no file).")};
    QCommandLineOption database{
        QStringLiteral("database"),
        QStringLiteral(
            "run, archive, history, verify, asset --interval, due, drift: the results database, "
            "postgresql://user@host[:port]/name[?sslmode=...&sslrootcert=FILE...] (see the README) or an "
            "SQLite file (default: $ORVEX_DATABASE, else $XDG_DATA_HOME/Orvex/results.sqlite)."),
        QStringLiteral("url")};
    QCommandLineOption noArchive{QStringLiteral("no-archive"),
                                 QStringLiteral("run: do not store the visit in the results database.")};
    QCommandLineOption limit{
        QStringLiteral("limit"),
        QStringLiteral("history: show the newest n visits (default %1; 0 shows them all).")
            .arg(kDefaultLimit),
        QStringLiteral("n")};
    QCommandLineOption trend{QStringLiteral("trend"),
                             QStringLiteral("history: one line per visit for this reading (its key)."),
                             QStringLiteral("key")};
    QCommandLineOption revisions{
        QStringLiteral("revisions"),
        QStringLiteral(
            "history: under each visit, its stored revisions: when, by which command, what changed.")};
    QCommandLineOption interval{
        QStringLiteral("interval"),
        QStringLiteral(
            "asset: the asset's test interval in months, kept in the results database (default %1).")
            .arg(orvex::HostResultsDatabase::kDefaultInterval),
        QStringLiteral("months")};
    QCommandLineOption within{
        QStringLiteral("within"),
        QStringLiteral("due: the days ahead it looks (default %1); drift: the months ahead (default %2).")
            .arg(orvex::HostFleet::kDueWithin)
            .arg(orvex::HostFleet::kDriftWithin),
        QStringLiteral("n")};
    QCommandLineOption seal{QStringLiteral("seal"),
                            QStringLiteral("verify: also look up this seal, as a report prints it."),
                            QStringLiteral("text")};

    // Every option, in the order --help lists them.
    static const Takes& Listed();

    // Before the application exists: logging verbose from the start, text that is not UTF-8
    // refused, and drawing off-screen when no person is to see windows. The command given
    // (the first argument that is neither an option nor an option's value), and whether a
    // person sees windows; why not when the arguments or the screen do not allow it.
    struct Early {
        QString command;
        bool person = false;
    };
    static orvex::HostResult<Early> Prepare(int argc, char** argv);

    // The help text and the options for a command that takes these: of two options of one
    // name, the one it takes.
    void AddTo(QCommandLineParser& parser, const QString& commands, const Takes& takes) const;
    // The first option given that a command taking these does not take, or none.
    std::optional<QString> Foreign(const QCommandLineParser& parser, const Takes& takes) const;
};

}  // namespace orvexapp
