#pragma once

#include <QString>
#include <QStringList>

#include "host/archive/HostRepeats.h"
#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"
#include "host/visit/HostProcedure.h"

namespace orvex {

class IPlugIn;

// A visit and the plug-in's tests as the command line lists them: a line per test, its fields
// tab-separated, so that a script can cut them.
class ORVEX_HOST_EXPORT HostVisitText {
public:
    // A block per template: id and name, type and parameter, description.
    static QStringList Tests(IPlugIn& plugIn);
    // A block per procedure: the name its file is found by, its name and version, then what it is
    // for and its description; or its file and why it cannot be read.
    static QStringList Procedures(const QList<HostProcedure::Listed>& found);
    // One procedure's block, then a line per test of the visit it makes: position, name and its
    // configuration on one line.
    static QStringList Procedure(const HostProcedure::Listed& procedure, const HostVisitRecord& visit);
    // A line per test: position, then TestFields; then a line per group of repeats: "repeats", their
    // positions, the test's name, and SpreadText per reading. The visit is read with its
    // configuration, which tells repeats apart.
    static QStringList Show(const HostVisitRecord& visit);
    // "SYST n=3 mean=120.3 sd=0.58 range=1.0 mmHg".
    static QString SpreadText(const HostRepeats::Spread& spread);
    // Name, status word, then KEY=VALUE per reading.
    static QStringList TestFields(const HostVisitRecord::Test& test);
    // Tabs and line breaks of a stored text would break the line it is shown in.
    static QString OneField(QString text);
};

}  // namespace orvex
