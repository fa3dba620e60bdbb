#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <vector>

#include "OrvexOptions.h"
#include "host/archive/HostRunEnd.h"
#include "host/archive/HostRunRequest.h"
#include "host/platform/HostResult.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostShippedStandards.h"

namespace orvex {
class ComError;
class HostEnvironment;
class IPlugIn;
}  // namespace orvex

namespace orvexapp {

// What orvex does for each command, once its arguments are parsed and the plug-in is loaded.
class OrvexCommands {
public:
    // Exit statuses of the commands.
    // A run's classes are its exit statuses; a usage or file error is the class of a run whose
    // results missed their file.
    static constexpr int kExitOk = static_cast<int>(orvex::HostRunEnd::Exit::Passed);
    static constexpr int kExitFailed = static_cast<int>(orvex::HostRunEnd::Exit::Failed);
    static constexpr int kExitUsage = static_cast<int>(orvex::HostRunEnd::Exit::NotSaved);
    static constexpr int kExitIncomplete = static_cast<int>(orvex::HostRunEnd::Exit::Incomplete);

    // One command: its name, how many arguments follow it (most -1: any number), the options it
    // takes besides those every command takes, its part of --help, and what carries it out.
    // Parsing, dispatch and help all come from the table.
    struct Command {
        QString name;
        int least = 0;
        int most = 0;
        OrvexOptions::Takes options;
        QString help;
        int (OrvexCommands::*carry)(const QStringList& arguments);
    };
    // The command line read into a command of the table and its arguments.
    struct Request {
        const Command* command;
        QStringList arguments;
        orvex::HostShippedStandards::Patient patient;
    };
    // Parses the application's arguments with the options of the command given early (--help
    // and --version print and exit there); why not when they name no command of the table or
    // hold an option it does not take.
    static orvex::HostResult<Request> Read(QCommandLineParser& parser, const OrvexOptions& options,
                                           const QString& given);

    OrvexCommands(const QCommandLineParser& parser, const OrvexOptions& options,
                  orvex::HostEnvironment& environment, std::shared_ptr<orvex::IPlugIn> plugIn,
                  Request request);

    // Carries the command out; its exit status.
    int Carry();

    static void Print(FILE* stream, const QString& text);
    static void Print(FILE* stream, const QStringList& lines);
    // Says what is wrong and returns kExitUsage.
    static int Usage(const QString& text);
    // Prints the error and returns the status.
    static int Fail(const orvex::ComError& e, int status);

private:
    static const std::vector<Command>& Commands();
    // The command of that name (none: open, the main window), or none.
    static const Command* Named(const QString& name);
    orvex::HostSequence Loaded(const QString& file) const;
    void TellLeftover(const QString& file) const;
    void SetAsset(orvex::HostSequence& sequence) const;
    orvex::HostResult<orvex::HostRunRequest> ReadRun(const QString& file) const;
    int WindowCommand(const QStringList& arguments);
    int TestsCommand(const QStringList& arguments);
    int ProceduresCommand(const QStringList& arguments);
    int NewCommand(const QStringList& arguments);
    int RunCommand(const QStringList& arguments);
    int ShowCommand(const QStringList& arguments);
    int AssetCommand(const QStringList& arguments);
    int ReportCommand(const QStringList& arguments);
    int ExportCommand(const QStringList& arguments);
    int ArchiveCommand(const QStringList& arguments);
    int HistoryCommand(const QStringList& arguments);
    int VerifyCommand(const QStringList& arguments);
    int DueCommand(const QStringList& arguments);
    int DriftCommand(const QStringList& arguments);
    int FleetCommand(const QStringList& arguments);
    // A whole number option's value from least to most, fallback when it is not given.
    orvex::HostResult<int> Count(const QCommandLineOption& option, int fallback, int least, int most,
                                 const QString& what) const;

    const QCommandLineParser& m_parser;
    const OrvexOptions& m_options;
    orvex::HostEnvironment& m_environment;
    std::shared_ptr<orvex::IPlugIn> m_plugIn;
    Request m_request;
};

}  // namespace orvexapp
