#pragma once

#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QStringList>

#include "host/archive/HostResultsDatabase.h"
#include "host/platform/HostExport.h"

namespace orvex {

// An asset's history as the command line shows it: a line per visit (performed, technician,
// verdict, file, and what the store cannot vouch for) with a line per test under it, or a line
// per visit for one reading (a trend), or the records as JSON.
class ORVEX_HOST_EXPORT HostHistoryText {
public:
    using Visit = HostResultsDatabase::Visit;

    // What is said besides the visits: that more are stored than the limit shows (limited), or
    // that none is.
    static QStringList Notes(const QList<Visit>& visits, bool limited, const QString& assetId,
                             const QString& key, const QString& location);
    // key null: the visit's line, its tests' lines and, under them, a line per revision given;
    // otherwise its trend line for that reading, none when it has no such reading.
    static QStringList Lines(const Visit& visit, const QString& key, const QList<Visit>& revisions = {});
    // Every record with where and how it is stored.
    static QJsonDocument Json(const QList<Visit>& visits);
    // A visit shown was altered or follows a break: the history does not end as if all were well.
    static bool Doubted(const QList<Visit>& visits);

private:
    // A line per revision: its number, when and by which command, and what it changed.
    static QStringList RevisionLines(const QList<Visit>& revisions);
    static QStringList Changes(const HostVisitRecord& before, const HostVisitRecord& after);
    static QStringList Marks(const Visit& visit);
};

}  // namespace orvex
