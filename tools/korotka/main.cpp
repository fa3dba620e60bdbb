// korotka: a diagnostics front end for technicians, and a way to check the driver from outside.
#include <QCoreApplication>

#include "CommandLine.h"
#include "Diagnostics.h"
#include "HostSession.h"
#include "host/platform/HostInstallation.h"
#include "host/platform/HostLog.h"

using korotkatool::CommandLine;
using korotkatool::Diagnostics;
using korotkatool::HostSession;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korotka"));

    CommandLine commandLine;
    QString error;
    if (!commandLine.Parse(QCoreApplication::arguments(), &error)) {
        Diagnostics::Print(stderr, QStringLiteral("korotka: %1 (see korotka --help)").arg(error));
        return Diagnostics::kUsageError;
    }
    if (commandLine.HelpRequested() || commandLine.VersionRequested()) {
        Diagnostics::Print(stdout, commandLine.HelpRequested()
                                       ? commandLine.HelpText()
                                       : QStringLiteral("korotka ") + orvex::HostInstallation::Version());
        return Diagnostics::kSucceeded;
    }
    const CommandLine::Request& request = commandLine.Get();
    orvex::QuietQtNotes();
    if (request.verbose) orvex::EnableVerboseLogging();

    HostSession session(orvex::HostMessageService::Mode::Console);
    switch (request.target) {
        case CommandLine::Target::Device:
            session.UseDevice(request.device);
            break;
        case CommandLine::Target::Simulator:
            if (!session.UseSimulator(request.simulator, &error)) {
                Diagnostics::Print(stderr, QStringLiteral("korotka: ") + error);
                return Diagnostics::kFailed;
            }
            break;
        case CommandLine::Target::Settings:
            if (!session.UseSettings(&error)) {
                Diagnostics::Print(stderr, QStringLiteral("korotka: ") + error);
                return Diagnostics::kUsageError;
            }
            break;
    }

    Diagnostics diagnostics(session);
    switch (request.command) {
        case CommandLine::Command::Send:
            return diagnostics.Send(request.sendText);
        case CommandLine::Command::Identify:
            return diagnostics.Identify();
        case CommandLine::Command::Test:
            return diagnostics.Test(request.parameters, request.polls);
    }
    return Diagnostics::kUsageError;
}
