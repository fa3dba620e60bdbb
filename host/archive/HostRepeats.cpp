#include "HostRepeats.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

HostRepeats::Spread SpreadOf(const HostVisitRecord::Reading& first,
                             const QList<std::pair<double, QString>>& readings) {
    QList<double> values;
    for (const auto& reading : readings) values.append(reading.first);
    HostRepeats::Spread spread{first.key, first.description, first.unit, static_cast<int>(values.size())};
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    spread.lowest = *lowest;
    spread.highest = *highest;
    double sum = 0;
    for (const double value : values) sum += value;
    spread.mean = sum / values.size();
    double squares = 0;
    for (const double value : values) squares += (value - spread.mean) * (value - spread.mean);
    spread.deviation = std::sqrt(squares / (values.size() - 1));
    return spread;
}

// The decimals of a reading as its measurement formats it ("4.827": 3).
int DecimalsOf(const QString& formatted) {
    const qsizetype point =
        std::max(formatted.lastIndexOf(QLatin1Char('.')), formatted.lastIndexOf(QLatin1Char(',')));
    return point < 0 ? 0 : static_cast<int>(formatted.size() - point - 1);
}

}  // namespace

QList<HostRepeats::Group> HostRepeats::Of(const HostVisitRecord& visit) {
    QList<Group> groups;
    for (const QList<int>& positions : visit.repeats) {
        QList<const HostVisitRecord::Test*> members;
        for (const int position : positions) {
            if (position >= 1 && position <= visit.tests.size()) members.append(&visit.tests[position - 1]);
        }
        if (members.size() < 2) continue;
        const HostVisitRecord::Test& first = *members.first();
        Group group{first.testId, first.name, first.configuration, positions, {}};
        // A repeat not performed yet holds no readings: the keys come from all of them.
        QList<const HostVisitRecord::Reading*> keys;
        for (const HostVisitRecord::Test* test : members) {
            for (const HostVisitRecord::Reading& reading : test->readings) {
                if (std::none_of(keys.begin(), keys.end(),
                                 [&](auto* known) { return known->key == reading.key; }))
                    keys.append(&reading);
            }
        }
        for (const HostVisitRecord::Reading* key : keys) {
            QList<std::pair<double, QString>> readings;
            int decimals = 1;
            for (const HostVisitRecord::Test* test : members) {
                for (const HostVisitRecord::Reading& reading : test->readings) {
                    if (reading.key == key->key && reading.value && std::isfinite(*reading.value)) {
                        readings.append({*reading.value, reading.unit});
                        decimals = std::max(decimals, DecimalsOf(reading.formatted));
                    }
                }
            }
            if (readings.size() < 2) continue;
            Spread spread = SpreadOf(*key, readings);
            // A formatter's own limit on decimals keeps a hostile file's text from asking for more.
            spread.decimals = std::min(decimals, 6);
            for (const HostSpread::Limit& limit : visit.spreadLimits) {
                if (limit.testId != group.testId || limit.key != key->key) continue;
                spread.rangeLimit = limit.range;
                spread.status = HostSpread::Word(HostSpread::Judge(limit, readings));
            }
            group.spreads.append(spread);
        }
        groups.append(group);
    }
    return groups;
}

}  // namespace orvex
