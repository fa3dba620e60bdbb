#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

#include "host/platform/HostErrors.h"
#include "host/platform/HostExport.h"
#include "host/visit/HostSequence.h"

namespace orvex {

class IPlugIn;

// A named, versioned visit template: the tests a department performs on every monitor of a kind, in
// order, with their configurations and limit sets, and how often each is performed. Its file is an
// "OrvexProcedure" (Name, Version, Equipment, and Interval: the months between its visits, when it
// says; a "Description") holding one "Step" per test, each a
// test element as a sequence file keeps it, without results, and an optional "Repeat" count.
// Its tests are made from the plug-in's templates like any other, so a procedure never holds a
// test, setting or limit the plug-in does not offer.
class ORVEX_HOST_EXPORT HostProcedure {
public:
    static constexpr int32_t kErrBadProcedure = HostErrors::kBadProcedure;
    // A step is performed a handful of times to show a spread, not hundreds.
    static constexpr int kMaxRepeat = 20;
    static constexpr int kMaxDescription = 2000;

    struct Heading {
        QString name;
        QString version;
        QString equipment;
        QString description;
        // Whole months from 1 to HostSequence::kLongestInterval; 0 when the file names none.
        int interval = 0;
    };
    // A procedure found in a folder, or why its file cannot be read.
    struct Listed {
        Heading heading;
        QString file;
        QString problem;
    };

    // The visit the file describes, named after it; raises kErrBadProcedure with the file and what
    // is wrong in it, a test the plug-in cannot make included.
    static HostSequence MakeVisit(const QString& path, const std::shared_ptr<IPlugIn>& plugIn);
    static Heading ReadHeading(const QString& path);
    // The sequence's tests as a procedure: their results left out, tests alike that follow each
    // other one step performed as often; the interval and spread those of the procedure the
    // sequence was made from (the heading's interval is not used). Written beside the target and
    // renamed over it.
    static void Write(const HostSequence& sequence, const Heading& heading, const QString& path);

    // The user's procedures ($XDG_DATA_HOME/Orvex/procedures), then the shipped ones; a user's
    // file of a shipped one's name hides it.
    static QList<Listed> Found();
    // The file a name stands for: an existing file as it is, else the procedure found whose file
    // name (without ".xml") or name is that, case aside. Raises kErrBadProcedure when none is.
    static QString Locate(const QString& nameOrPath);
    static QString UserFolder();
};

}  // namespace orvex
