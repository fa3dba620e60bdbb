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
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "hostapi/ComError.h"
#include "hostapi/IPlugIn.h"

using orvexapp::OrvexCommands;
using orvexapp::OrvexOptions;

int main(int argc, char** argv) {
    orvex::QuietQtNotes();
    const auto early = OrvexOptions::Prepare(argc, argv);
    if (!early) {
        OrvexCommands::Print(stderr, QStringLiteral("orvex: ") + early.Why());
        return OrvexCommands::kExitUsage;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvex"));
    QApplication::setApplicationVersion(orvex::HostInstallation::Version());
    QCommandLineParser parser;
    const OrvexOptions o;
    const auto request = OrvexCommands::Read(parser, o, early->command);
    if (!request) return OrvexCommands::Usage(request.Why());

    orvex::HostEnvironment environment(early->person ? orvex::HostMessageService::Mode::Dialog
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
        const bool run = request->command->name == QLatin1String("run");
        return OrvexCommands::Fail(e, run ? OrvexCommands::kExitIncomplete : OrvexCommands::kExitFailed);
    }
    return OrvexCommands(parser, o, environment, plugIn, *request).Carry();
}
