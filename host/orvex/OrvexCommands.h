#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "OrvexOptions.h"
#include "host/archive/HostRunEnd.h"
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

    OrvexCommands(const QCommandLineParser& parser, const OrvexOptions& options,
                  orvex::HostEnvironment& environment, std::shared_ptr<orvex::IPlugIn> plugIn);

    // The command and its file (arguments as given); no command, or open, shows the main window.
    int Carry(const QStringList& arguments, orvex::HostShippedStandards::Patient patient);

    static void Print(FILE* stream, const QString& text);
    // Says what is wrong and returns kExitUsage.
    static int Usage(const QString& text);
    static QString ErrorText(const orvex::ComError& e);
    // Prints the error and returns the status.
    static int Fail(const orvex::ComError& e, int status);

private:
    const QCommandLineParser& m_parser;
    const OrvexOptions& m_options;
    orvex::HostEnvironment& m_environment;
    std::shared_ptr<orvex::IPlugIn> m_plugIn;
};

}  // namespace orvexapp
