#include "HostFleet.h"

#include <algorithm>
#include <tuple>

namespace orvex {

std::optional<HostVisitRecord::Reading> HostFleet::JudgedReading(const HostVisitRecord& visit,
                                                                 const QString& key) {
    for (const auto& test : visit.tests) {
        for (const auto& reading : test.readings) {
            if (reading.key != key) continue;
            if (!reading.value || !HostDrift::Band::Of(reading.limits).Judges()) return std::nullopt;
            return reading;
        }
    }
    return std::nullopt;
}

QList<HostFleet::DueAsset> HostFleet::Due(HostResultsDatabase& database, const QDate& today, int within) {
    const QDate horizon = today.addDays(within);
    QList<DueAsset> shown;
    for (const auto& due : database.Dues()) {
        DueAsset asset{due, std::nullopt, 0};
        const QDateTime last = QDateTime::fromString(due.last.record.performed, Qt::ISODate);
        if (due.visited && last.isValid()) {
            asset.next = last.toUTC().date().addMonths(due.months);
            asset.daysLeft = today.daysTo(*asset.next);
            if (*asset.next > horizon) continue;
        }
        shown << asset;
    }
    std::stable_sort(shown.begin(), shown.end(), [](const DueAsset& a, const DueAsset& b) {
        return std::tuple(a.next.has_value(), a.next.value_or(QDate())) <
               std::tuple(b.next.has_value(), b.next.value_or(QDate()));
    });
    QList<HostResultsDatabase::Visit> judged;
    for (const auto& asset : shown) {
        if (asset.due.visited) judged << asset.due.last;
    }
    database.Judge(judged);
    qsizetype next = 0;
    for (auto& asset : shown) {
        if (asset.due.visited) asset.due.last = judged[next++];
    }
    return shown;
}

QList<HostFleet::Drifting> HostFleet::Drift(HostResultsDatabase& database, const QDateTime& now, int within) {
    const QDateTime horizon = now.addMonths(within);
    QList<Drifting> shown;
    HostDrift drift;
    HostResultsDatabase::Judged newest;
    const auto finish = [&]() {
        const HostDrift::Band band = HostDrift::Band::Of(newest.limits);
        if (drift.Points() == 0 || !band.Judges()) return;
        const auto line = drift.Fit(band);
        if (line && line->leaves <= horizon) shown << Drifting{newest, band, *line};
    };
    database.EachJudged([&](const HostResultsDatabase::Judged& judged) {
        if (judged.assetId != newest.assetId || judged.testId != newest.testId || judged.key != newest.key) {
            finish();
            drift = HostDrift();
        }
        drift.Add(QDateTime::fromString(judged.performed, Qt::ISODate), judged.value);
        newest = judged;
    });
    finish();
    std::stable_sort(shown.begin(), shown.end(),
                     [](const Drifting& a, const Drifting& b) { return a.line.leaves < b.line.leaves; });
    return shown;
}

}  // namespace orvex
