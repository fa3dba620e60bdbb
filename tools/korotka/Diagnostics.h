#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

#include "HostSession.h"

namespace orvex {
class ComError;
}

namespace korotkatool {

// The tool's commands on the Korotka the session points at. Each prints its answer on stdout and
// its failure on stderr, and returns the exit status.
class Diagnostics {
public:
    static constexpr int kSucceeded = 0;
    static constexpr int kFailed = 1;
    static constexpr int kUsageError = 2;

    explicit Diagnostics(HostSession& session) : m_session(session) {}

    int Send(const QString& command);
    int Identify();
    int Test(const QStringList& parameters, int polls);

    static void Print(FILE* stream, const QString& text);
    // Control characters as the technician's manual names them.
    static QString Readable(const QString& text);

private:
    // The error line; a description the driver has just shown as a message is not repeated.
    int Failed(const orvex::ComError& error, qsizetype messagesBefore);

    HostSession& m_session;
};

}  // namespace korotkatool
