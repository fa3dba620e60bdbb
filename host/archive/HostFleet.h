#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <functional>
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

    // The visits an asset's detail lists: the newest, so that a page of many assets stays small
    // whatever their history. Trends and drift look in the newest HostReadingTrend::kSearched.
    static constexpr int kRecentVisits = 10;

    struct Point {
        QDateTime when;
        double value = 0.0;
    };
    // One reading of an asset (its test and key) over time.
    struct Trend {
        // The newest point: its asset, test, reading, unit and limits.
        HostResultsDatabase::Judged reading;
        HostDrift::Band band;
        // Through the newest points (HostDrift); none when there is nothing to say.
        std::optional<HostDrift::Line> line;
        // The reading in the asset's newest HostReadingTrend::kSearched visits, oldest first.
        QList<Point> points;
    };
    // What opening an asset on the department's page shows.
    struct Detail {
        // Newest first, each judged; count: how many the store holds, counted no further than one
        // more than the trends look in (HostReadingTrend::kSearched).
        QList<HostResultsDatabase::Visit> visits;
        qint64 count = 0;
        // The readings with at least two points, by test id and key.
        QList<Trend> trends;
    };
    struct Overview {
        // As Drift() gives it.
        QList<Drifting> drifting;
        // By asset id; an asset without visits has none.
        QHash<QString, Detail> details;
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
    // The drift list and every asset's recent visits and trends, read in one pass over the judged
    // readings and one query for the visits (which are then judged a batch at a time).
    static Overview Details(HostResultsDatabase& database, const QDateTime& now, int within);

private:
    // Hands over each judged reading's trend once its newest point is read, with its points when
    // asked for them.
    static void EachTrend(HostResultsDatabase& database, bool points,
                          const std::function<void(Trend&)>& each);
    static void SortSoonest(QList<Drifting>& drifting);
};

}  // namespace orvex
