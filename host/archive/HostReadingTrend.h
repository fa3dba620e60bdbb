#pragma once

#include <QList>
#include <QString>

#include "host/archive/HostResultsDatabase.h"
#include "host/platform/HostExport.h"

namespace orvex {

// One reading of one test followed over an asset's stored visits: the series a trend picture
// draws. A reading is the same across visits when its test has the same test id and its key is the
// same; of two such tests in a visit, the one at the same position is taken.
class ORVEX_HOST_EXPORT HostReadingTrend {
public:
    // How many visits a trend shows at most.
    static constexpr int kVisits = 10;
    // How many of an asset's newest visits a history lists and a trend and its drift look in:
    // a long history is read no further than it is shown.
    static constexpr int kSearched = 50;

    struct Point {
        QString performed;
        double value = 0.0;
        // The limits it was judged against then.
        QList<HostVisitRecord::Limit> limits;
        // The store cannot vouch for it: altered, or after a break in the seals.
        bool doubted = false;
    };
    struct Reading {
        int testId = 0;
        int position = 0;
        QString key;
        // As the newest visit that has it names it.
        QString testName;
        QString description;
        QString unit;
    };

    // The reading as the visit holds it; none when the visit has no such reading.
    static const HostVisitRecord::Reading* In(const HostVisitRecord& visit, const Reading& reading);
    // The reading in the visits (newest first, as the database gives them), oldest first; the
    // newest kVisits that hold it as a number.
    static QList<Point> Of(const QList<HostResultsDatabase::Visit>& visits, const Reading& reading);
    // Every reading with a number in the visits, in the order of the newest visit that has it.
    static QList<Reading> Readings(const QList<HostResultsDatabase::Visit>& visits);
};

}  // namespace orvex
