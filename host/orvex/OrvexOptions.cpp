#include "OrvexOptions.h"

#include <algorithm>

#include "host/visit/HostShippedStandards.h"

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

void OrvexOptions::AddTo(QCommandLineParser& parser, const QString& command, const QString& commands) const {
    parser.setApplicationDescription(
        QStringLiteral(
            "The test-automation host for the Korotka NIBP simulator plug-in.\n\n"
            "Without a command, or with open [FILE] [--database URL] [--no-archive], the main window opens\n"
            "(on a display); it archives each run as orvex run does and shows the asset's history.\n\n"
            "Commands:\n") +
        commands +
        QStringLiteral(
            "\nNew tests get the shipped limit sets (in another unit the same limits, converted exactly;\n"
            "a test no limit judges is \"not-judged\"):\n") +
        orvex::HostShippedStandards::Described().join(QLatin1Char('\n')));
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
