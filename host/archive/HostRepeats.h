#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"

namespace orvex {

// The tests a visit performs more than once, a repeat count or the same test added again, grouped,
// and how far each reading of theirs spreads: whether a monitor reads the same way every time is
// what a simulator shows best.
class ORVEX_HOST_EXPORT HostRepeats {
public:
    // One reading over the repeats that hold a number for it.
    struct Spread {
        QString key;
        QString description;
        QString unit;
        int count = 0;
        double mean = 0;
        // The sample standard deviation (n - 1).
        double deviation = 0;
        double lowest = 0;
        double highest = 0;
        double Range() const { return highest - lowest; }
        // Decimals to show the mean, lowest, highest and range with: as many as the readings have,
        // at least one, so that a spread in PSI does not read as 0.0; the deviation one more.
        int decimals = 1;
        // The largest range the visit's procedure allows for this reading, in its unit, and how
        // the range stands against it: "passed", "failed", or empty when no spread limit applies.
        std::optional<double> rangeLimit{};
        QString status{};
    };
    struct Group {
        int testId = 0;
        QString name;
        // The configuration the repeats share, a line per row as the report prints it.
        QStringList configuration;
        // Their positions in the visit (from 1), in order.
        QList<int> positions;
        // Readings held as a number by at least two repeats, in the order they first appear.
        QList<Spread> spreads;
    };

    // The visit's groups of repeats (tests of one template set up alike, wherever they stand) with
    // the spread of each reading and how it stands against the procedure's spread limit. A group's
    // configuration is there when the visit was read with it.
    static QList<Group> Of(const HostVisitRecord& visit);
};

}  // namespace orvex
