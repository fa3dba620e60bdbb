#include "OrvexOptions.h"

#include <algorithm>

#include "host/platform/HostLog.h"
#include "host/platform/HostUtf8.h"
#include "host/visit/HostShippedStandards.h"

namespace orvexapp {

namespace {

using O = OrvexOptions;

// Taken by every command.
const std::vector<O::Option> kEveryCommand{&O::plugin, &O::language, &O::verbose};

bool Taken(const O::Takes& takes, O::Option option) {
    return std::find(takes.begin(), takes.end(), option) != takes.end() ||
           std::find(kEveryCommand.begin(), kEveryCommand.end(), option) != kEveryCommand.end();
}

bool Given(int argc, char** argv, std::initializer_list<QByteArrayView> names) {
    return std::any_of(argv + 1, argv + argc, [&names](const char* argument) {
        return std::any_of(names.begin(), names.end(),
                           [argument](QByteArrayView name) { return QByteArrayView(argument) == name; });
    });
}

}  // namespace

const std::vector<O::Option>& OrvexOptions::Listed() {
    static const std::vector<Option> listed{
        &O::plugin,   &O::language,  &O::verbose,        &O::device,      &O::simulate,      &O::timeScale,
        &O::fault,    &O::relief,    &O::standard,       &O::script,      &O::autoTimeout,   &O::procedure,
        &O::patient,  &O::assetId,   &O::assetMakeModel, &O::assetSerial, &O::assetLocation, &O::technician,
        &O::pdf,      &O::html,      &O::page,           &O::json,        &O::csv,           &O::jsonList,
        &O::database, &O::noArchive, &O::limit,          &O::trend,       &O::revisions,     &O::seal,
        &O::interval, &O::within};
    return listed;
}

orvex::HostResult<OrvexOptions::Early> OrvexOptions::Prepare(int argc, char** argv) {
    // Verbose from the start: Qt has its say while the application is made.
    if (Given(argc, argv, {"--verbose"})) orvex::EnableVerboseLogging();
    // Text that is not UTF-8 is refused before anything reads it as a name or an asset id.
    for (int i = 1; i < argc; ++i) {
        if (orvex::IsUtf8(argv[i])) continue;
        const bool value = i > 1 && QByteArrayView(argv[i - 1]).startsWith("--");
        return orvex::HostResult<Early>::Failed(
            value ? QStringLiteral("the value of %1 is not UTF-8 text").arg(QString::fromLatin1(argv[i - 1]))
                  : QStringLiteral("argument %1 is not UTF-8 text").arg(i));
    }
    Early early;
    const OrvexOptions options;
    QList<QByteArray> withValue;
    for (const Option option : Listed()) {
        if ((options.*option).valueName().isEmpty()) continue;
        for (const QString& name : (options.*option).names()) withValue << "--" + name.toLatin1();
    }
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (withValue.contains(argument)) {
            ++i;
        } else if (!argument.startsWith('-')) {
            early.command = QString::fromLocal8Bit(argument);
            break;
        }
    }
    // Only the main window and a run without a script show windows to a person; everything
    // else draws off-screen when there is no screen. --help and --version only print.
    const bool script = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return QByteArrayView(argument) == "--auto" || QByteArrayView(argument).startsWith("--auto=");
    });
    early.person = !Given(argc, argv, {"--help", "-h", "--help-all", "--version", "-v"}) &&
                   (early.command.isEmpty() || early.command == QLatin1String("open") ||
                    (early.command == QLatin1String("run") && !script));
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (early.person) {
            return orvex::HostResult<Early>::Failed(
                QStringLiteral("the main window, and a run without --auto, show windows to a person and "
                               "need a display"));
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return early;
}

void OrvexOptions::AddTo(QCommandLineParser& parser, const QString& commands, const Takes& takes) const {
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
    std::vector<Option> chosen;
    for (const Option option : Listed()) {
        const auto same = std::find_if(chosen.begin(), chosen.end(), [this, option](Option taken) {
            return (this->*taken).names() == (this->*option).names();
        });
        if (same == chosen.end()) {
            chosen.push_back(option);
        } else if (Taken(takes, option)) {
            *same = option;
        }
    }
    for (const Option option : chosen) parser.addOption(this->*option);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("What to do (see above)."));
}

std::optional<QString> OrvexOptions::Foreign(const QCommandLineParser& parser, const Takes& takes) const {
    for (const Option option : Listed()) {
        if (Taken(takes, option) || !parser.isSet(this->*option)) continue;
        // Given under a name that an option the command takes also has: that one was given.
        const QString name = (this->*option).names().constFirst();
        if (std::none_of(takes.begin(), takes.end(),
                         [this, &name](Option taken) { return (this->*taken).names().contains(name); }))
            return name;
    }
    return std::nullopt;
}

}  // namespace orvexapp
