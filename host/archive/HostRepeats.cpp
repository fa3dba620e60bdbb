#include "HostRepeats.h"

#include <algorithm>
#include <cmath>

namespace orvex {

namespace {

HostRepeats::Spread SpreadOf(const HostVisitRecord::Reading& first, const QList<double>& values) {
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

}  // namespace

QList<HostRepeats::Group> HostRepeats::Of(const HostVisitRecord& visit) {
    QList<Group> groups;
    QList<QList<const HostVisitRecord::Test*>> members;
    for (const HostVisitRecord::Test& test : visit.tests) {
        qsizetype at = 0;
        while (at < groups.size() &&
               (groups[at].testId != test.testId || groups[at].configuration != test.configuration))
            ++at;
        if (at == groups.size()) {
            groups.append({test.testId, test.name, test.configuration, {}, {}});
            members.append(QList<const HostVisitRecord::Test*>());
        }
        groups[at].positions.append(test.position);
        members[at].append(&test);
    }
    QList<Group> repeated;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        if (groups[g].positions.size() < 2) continue;
        Group group = groups[g];
        // A repeat not performed yet holds no readings: the keys come from all of them.
        QList<const HostVisitRecord::Reading*> keys;
        for (const HostVisitRecord::Test* test : members[g]) {
            for (const HostVisitRecord::Reading& reading : test->readings) {
                if (std::none_of(keys.begin(), keys.end(),
                                 [&](auto* known) { return known->key == reading.key; }))
                    keys.append(&reading);
            }
        }
        for (const HostVisitRecord::Reading* first : keys) {
            QList<double> values;
            for (const HostVisitRecord::Test* test : members[g]) {
                for (const HostVisitRecord::Reading& reading : test->readings) {
                    if (reading.key == first->key && reading.value && std::isfinite(*reading.value))
                        values.append(*reading.value);
                }
            }
            if (values.size() >= 2) group.spreads.append(SpreadOf(*first, values));
        }
        repeated.append(group);
    }
    return repeated;
}

}  // namespace orvex
