#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <optional>

#include "host/archive/HostDrift.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/platform/HostExport.h"

namespace orvex {

// What a department asks of its whole store each morning: which assets are due or overdue for
// their check, and which readings are drifting towards a limit.
class ORVEX_HOST_EXPORT HostFleet {
public:
    // Days ahead the due list looks unless told, and months ahead the drift list looks.
    static constexpr int kDueWithin = 30;
    static constexpr int kDriftWithin = 12;
    static constexpr int kLongestWithin = 36500;

    struct DueAsset {
        HostResultsDatabase::Due due;
        // The last complete visit plus the interval; none when no visit was completed (or its time
        // cannot be read): such an asset is due now.
        std::optional<QDate> next;
        // Days from today to next; negative: overdue.
        qint64 daysLeft = 0;
    };
    struct Drifting {
        // The newest point: its asset, test, reading, unit and limits.
        HostResultsDatabase::Judged reading;
        HostDrift::Band band;
        HostDrift::Line line;
    };

    // The visit's first reading of that key with a number and a limit, as a trend follows it; none
    // when it has none.
    static std::optional<HostVisitRecord::Reading> JudgedReading(const HostVisitRecord& visit,
                                                                 const QString& key);
    // The assets due within `within` days of today or overdue, those never completed first, then
    // the oldest due date first; each last visit judged (altered, after a break).
    static QList<DueAsset> Due(HostResultsDatabase& database, const QDate& today, int within);
    // The readings whose line leaves its band before now plus `within` months, soonest first.
    static QList<Drifting> Drift(HostResultsDatabase& database, const QDateTime& now, int within);
};

}  // namespace orvex
