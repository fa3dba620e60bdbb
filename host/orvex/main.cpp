// orvex: the stand-in host application. It loads the Korotka plug-in the way the host does, lists
// its tests, makes and shows sequences of them, and performs a sequence in the test guide windows,
// for a person or for a scripted technician.
#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "OrvexCommands.h"
#include "OrvexOptions.h"
#include "host/platform/HostInstallation.h"
#include "host/platform/HostLog.h"
#include "host/platform/HostUtf8.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "hostapi/ComError.h"
#include "hostapi/IPlugIn.h"

using orvexapp::OrvexCommands;
using orvexapp::OrvexOptions;

int main(int argc, char** argv) {
    // Only a run without a script shows windows to a person; everything else draws off-screen
    // when there is no screen.
    orvex::QuietQtNotes();
    // Verbose from the start: Qt has its say while the application is made, before the options are read.
    for (int i = 1; i < argc; ++i) {
        if (QByteArrayView(argv[i]) == "--verbose") orvex::EnableVerboseLogging();
    }
    // Text that is not UTF-8 is refused before anything reads it as a name or an asset id.
    for (int i = 1; i < argc; ++i) {
        if (orvex::IsUtf8(argv[i])) continue;
        const bool value = i > 1 && QByteArrayView(argv[i - 1]).startsWith("--");
        OrvexCommands::Print(stderr, value ? QStringLiteral("orvex: the value of %1 is not UTF-8 text")
                                                 .arg(QString::fromLatin1(argv[i - 1]))
                                           : QStringLiteral("orvex: argument %1 is not UTF-8 text").arg(i));
        return OrvexCommands::kExitUsage;
    }
    const QString commandGiven = OrvexOptions::CommandOf(argc, argv);
    const bool mainWindow = commandGiven.isEmpty() || commandGiven == QLatin1String("open");
    const bool person =
        !OrvexOptions::AsksOnlyForText(argc, argv) &&
        (mainWindow || (commandGiven == QLatin1String("run") && !OrvexOptions::HasScript(argc, argv)));
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        if (person) {
            OrvexCommands::Print(stderr,
                                 QStringLiteral("orvex: the main window, and a run without --auto, show "
                                                "windows to a person and need a display"));
            return OrvexCommands::kExitUsage;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvex"));
    QApplication::setApplicationVersion(orvex::HostInstallation::Version());

    QCommandLineParser parser;
    const OrvexOptions o;
    o.AddTo(parser, commandGiven, OrvexCommands::Help());
    parser.process(app);
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    if (OrvexCommands::Find(arguments) == nullptr)
        return OrvexCommands::Usage(QStringLiteral("unknown or incomplete command"));
    if (const auto foreign = o.Foreign(parser, command)) {
        return OrvexCommands::Usage(QStringLiteral("orvex %1 takes no --%2").arg(command, *foreign));
    }
    const auto patient = orvex::HostShippedStandards::PatientFromName(
        parser.isSet(o.patient) ? parser.value(o.patient) : QStringLiteral("adult"));
    if (!patient) return OrvexCommands::Usage(QStringLiteral("--patient takes adult or neonate"));

    orvex::HostEnvironment environment(person ? orvex::HostMessageService::Mode::Dialog
                                              : orvex::HostMessageService::Mode::Console);
    environment.Messages()->SetConsoleOutput([](const QString& line) { OrvexCommands::Print(stderr, line); });
    const QString library = parser.isSet(o.plugin) ? parser.value(o.plugin)
                                                   : orvex::HostInstallation::LibraryFolder() +
                                                         QStringLiteral("/liborvexKorotka.so");
    for (const QString& warning : environment.ChooseLanguage(parser.value(o.language)))
        OrvexCommands::Print(stderr, QStringLiteral("orvex: %1").arg(warning));
    std::shared_ptr<orvex::IPlugIn> plugIn;
    try {
        QString warning;
        plugIn = orvex::HostKorotka::LoadPlugIn(environment, library, parser.value(o.language), &warning);
        if (!warning.isEmpty()) OrvexCommands::Print(stderr, QStringLiteral("orvex: %1").arg(warning));
    } catch (const orvex::ComError& e) {
        return OrvexCommands::Fail(
            e, command == QLatin1String("run") ? OrvexCommands::kExitIncomplete : OrvexCommands::kExitFailed);
    }
    return OrvexCommands(parser, o, environment, plugIn, *patient).Carry(arguments);
}
