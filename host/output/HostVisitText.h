#pragma once

#include <QString>
#include <QStringList>

#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

class IPlugIn;

// A visit and the plug-in's tests as the command line lists them: a line per test, its fields
// tab-separated, so that a script can cut them.
class ORVEX_HOST_EXPORT HostVisitText {
public:
    // A block per template: id and name, type and parameter, description.
    static QStringList Tests(IPlugIn& plugIn);
    // A line per test: position, then TestFields.
    static QStringList Show(const HostVisitRecord& visit);
    // Name, status word, then KEY=VALUE per reading.
    static QStringList TestFields(const HostVisitRecord::Test& test);
    // Tabs and line breaks of a stored text would break the line it is shown in.
    static QString OneField(QString text);
};

}  // namespace orvex
