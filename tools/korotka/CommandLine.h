#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include "sim/SimOptions.h"

namespace korotkatool {

// The tool's arguments: checks them completely before anything touches a port, so that a typing
// mistake never half-runs a test.
class CommandLine {
public:
    enum class Command { Send, Identify, Test };
    enum class Target { Settings, Device, Simulator };

    struct Request {
        Command command = Command::Identify;
        Target target = Target::Settings;
        QString device;
        korotkasim::SimOptions simulator;
        QString sendText;
        QStringList parameters;  // P0 (the test) and its parameters, as typed
        int polls = 0;
        bool verbose = false;
    };

    static constexpr double kDefaultTimeScale = 0.1;
    static constexpr int kDefaultPolls = 4;
    static constexpr int kMaxPolls = 3600;

    CommandLine();

    // arguments[0] is the program. False on a usage error, with a one-line reason in error.
    bool Parse(const QStringList& arguments, QString* error);
    bool HelpRequested() const { return m_helpRequested; }
    bool VersionRequested() const { return m_versionRequested; }
    QString HelpText() const;
    const Request& Get() const { return m_request; }

private:
    bool ParseTarget(QString* error);
    bool ParseCommand(const QStringList& words, QString* error);

    QCommandLineParser m_parser;
    bool m_helpRequested = false;
    bool m_versionRequested = false;
    Request m_request;
};

}  // namespace korotkatool
