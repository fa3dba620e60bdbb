#include "OrvexOptions.h"

#include <algorithm>

namespace orvexapp {

std::vector<OrvexOptions::Entry> OrvexOptions::Table() const {
    const QStringList run{QStringLiteral("run")};
    const QStringList asset{QStringLiteral("new"), QStringLiteral("asset")};
    return {{&plugin, {}},
            {&language, {}},
            {&verbose, {}},
            {&device, run},
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
            {&csv, {QStringLiteral("export")}},
            {&jsonList, {QStringLiteral("history")}},
            {&database,
             {QStringLiteral("run"), QStringLiteral("archive"), QStringLiteral("history"),
              QStringLiteral("report"), QStringLiteral("open"), QStringLiteral("verify")}},
            {&noArchive, {QStringLiteral("run"), QStringLiteral("open")}},
            {&limit, {QStringLiteral("history")}},
            {&trend, {QStringLiteral("history")}},
            {&revisions, {QStringLiteral("history")}},
            {&seal, {QStringLiteral("verify")}}};
}

// The entries a parser for the command holds: of two of one name, the one the command takes.
std::vector<OrvexOptions::Entry> OrvexOptions::Chosen(const QString& command) const {
    std::vector<Entry> chosen;
    for (const Entry& entry : Table()) {
        const auto same = std::find_if(chosen.begin(), chosen.end(), [&entry](const Entry& taken) {
            return taken.option->names() == entry.option->names();
        });
        if (same == chosen.end()) {
            chosen.push_back(entry);
        } else if (entry.commands.contains(command)) {
            *same = entry;
        }
    }
    return chosen;
}

void OrvexOptions::AddTo(QCommandLineParser& parser, const QString& command) const {
    parser.setApplicationDescription(QStringLiteral(
        "The test-automation host for the Korotka NIBP simulator plug-in.\n\n"
        "Without a command, or with open [FILE] [--database URL] [--no-archive], the main window opens\n"
        "(on a display); it archives each run as orvex run does and shows the asset's history.\n\n"
        "Commands:\n"
        "  tests                 list the tests the plug-in offers (test id, name, type and parameter,\n"
        "                        description)\n"
        "  new FILE TEST...      make a sequence of these tests (test ids or template names) in FILE\n"
        "  run FILE [--device PATH | --simulate [--time-scale X] [--fault NAME]] [--standard NAME]...\n"
        "          [--auto SCRIPT [--auto-timeout S]] [--no-archive] [--database URL]\n"
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
        "                        The visit is then stored in the results database (see archive)\n"
        "                        unless --no-archive is given; a database that cannot be opened is\n"
        "                        warned about and changes no exit status.\n"
        "  show FILE             one line per test: position, name, status (not-measured, passed,\n"
        "                        failed, not-applicable) and KEY=VALUE per measurement, tab-separated\n"
        "  asset FILE [--asset-id X] [--asset-make-model X] [--asset-serial X] [--asset-location X]\n"
        "          [--technician NAME]\n"
        "                        set the equipment under test and the technician (also on new)\n"
        "  report FILE --pdf OUT [--html OUT] [--page a4|letter] [--database URL]\n"
        "                        the report of the sequence: header, each test's configuration, limits\n"
        "                        and results, where each judged reading lies between its limits and,\n"
        "                        when the results database knows earlier visits, its trend over them\n"
        "  export FILE [--json OUT] [--csv OUT]\n"
        "                        the results for a maintenance database (formats: see the README)\n"
        "  archive FILE [--database URL]\n"
        "                        store the visit in the results database; a visit stored before and\n"
        "                        changed since is stored as a new revision of it, never twice\n"
        "  history ASSET-ID [--json | --trend KEY] [--limit N] [--revisions] [--database URL]\n"
        "                        the asset's visits, newest first, each once: when, technician, verdict\n"
        "                        and each test's readings; --trend one line per visit for the reading\n"
        "                        KEY. The newest 50 are shown; --limit N shows N, --limit 0 all of them.\n"
        "                        Exit status 1 when a visit shown was altered or follows a break in the\n"
        "                        seals\n"
        "  verify [--seal TEXT] [--database URL]\n"
        "                        walk the chain of seals over every stored revision and name each break\n"
        "                        (exit status 1) or say the store is whole (0); --seal looks up a seal\n"
        "                        a report printed\n\n"
        "New tests get the shipped limit sets: static pressure within 3 mmHg (DIFF), leak at most\n"
        "6 mmHg/min (RATE), relief valve at most 330 mmHg, or 165 mmHg with --patient neonate (PEAK),\n"
        "NIBP simulation SYST, DIAS, MAPR within 10 mmHg of the preset and HR within 5 %; in\n"
        "another unit the same limits, converted exactly. A test no limit judges is \"not-judged\"."));
    parser.addHelpOption();
    parser.addVersionOption();
    for (const Entry& entry : Chosen(command)) parser.addOption(*entry.option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see above)."));
}

std::optional<QString> OrvexOptions::Foreign(const QCommandLineParser& parser, const QString& command) const {
    for (const auto& [option, commands] : Chosen(command)) {
        if (!commands.isEmpty() && parser.isSet(*option) && !commands.contains(command))
            return option->names().constFirst();
    }
    return std::nullopt;
}

QString OrvexOptions::CommandOf(int argc, char** argv) {
    QList<QByteArray> withValue;
    const OrvexOptions options;
    for (const Entry& entry : options.Table()) {
        if (entry.option->valueName().isEmpty()) continue;
        for (const QString& name : entry.option->names()) withValue << "--" + name.toLatin1();
    }
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

bool OrvexOptions::HasScript(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--auto" || argument.startsWith("--auto=")) return true;
    }
    return false;
}

bool OrvexOptions::AsksOnlyForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--help" || argument == "-h" || argument == "--help-all" || argument == "--version" ||
            argument == "-v")
            return true;
    }
    return false;
}

}  // namespace orvexapp
