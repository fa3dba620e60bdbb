#include "HostFleet.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace orvex {

namespace {

// Visits judged at a time: each is read whole for its checksum.
constexpr qsizetype kJudgeBatch = 500;

}  // namespace

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

void HostFleet::EachTrend(HostResultsDatabase& database, bool points,
                          const std::function<void(Trend&)>& each) {
    Trend trend;
    HostDrift drift;
    const auto finish = [&]() {
        trend.band = HostDrift::Band::Of(trend.reading.limits);
        if (drift.Points() == 0 || !trend.band.Judges()) return;
        trend.line = drift.Fit(trend.band);
        each(trend);
    };
    database.EachJudged(HostReadingTrend::kSearched, [&](const HostResultsDatabase::Judged& judged) {
        if (judged.assetId != trend.reading.assetId || judged.testId != trend.reading.testId ||
            judged.key != trend.reading.key) {
            finish();
            trend = Trend();
            drift = HostDrift();
        }
        trend.reading = judged;
        // The points a fit can take.
        const QDateTime when = QDateTime::fromString(judged.performed, Qt::ISODate);
        if (!when.isValid() || !std::isfinite(judged.value)) return;
        drift.Add(when, judged.value);
        if (points) trend.points.append({when, judged.value});
    });
    finish();
}

void HostFleet::SortSoonest(QList<Drifting>& drifting) {
    std::stable_sort(drifting.begin(), drifting.end(),
                     [](const Drifting& a, const Drifting& b) { return a.line.leaves < b.line.leaves; });
}

QList<HostFleet::Drifting> HostFleet::Drift(HostResultsDatabase& database, const QDateTime& now, int within) {
    const QDateTime horizon = now.addMonths(within);
    QList<Drifting> shown;
    EachTrend(database, false, [&](Trend& trend) {
        if (trend.line && trend.line->leaves <= horizon)
            shown << Drifting{trend.reading, trend.band, *trend.line};
    });
    SortSoonest(shown);
    return shown;
}

HostFleet::Overview HostFleet::Details(HostResultsDatabase& database, const QDateTime& now, int within) {
    const QDateTime horizon = now.addMonths(within);
    Overview overview;
    EachTrend(database, true, [&](Trend& trend) {
        if (trend.line && trend.line->leaves <= horizon)
            overview.drifting << Drifting{trend.reading, trend.band, *trend.line};
        if (trend.points.size() >= 2) overview.details[trend.reading.assetId].trends << std::move(trend);
    });
    SortSoonest(overview.drifting);
    for (auto& recent : database.RecentVisits(kRecentVisits, HostReadingTrend::kSearched + 1)) {
        Detail& detail = overview.details[recent.assetId];
        detail.visits = std::move(recent.visits);
        detail.count = recent.count;
    }
    // Judging reads each visit whole: a batch at a time keeps that bounded for a large fleet.
    QList<HostResultsDatabase::Visit*> pending;
    const auto judge = [&]() {
        QList<HostResultsDatabase::Visit> batch;
        for (const auto* visit : std::as_const(pending)) batch << *visit;
        database.Judge(batch);
        for (qsizetype i = 0; i < batch.size(); ++i) {
            pending[i]->altered = batch[i].altered;
            pending[i]->broken = batch[i].broken;
        }
        pending.clear();
    };
    for (auto& detail : overview.details) {
        for (auto& visit : detail.visits) {
            pending << &visit;
            if (pending.size() == kJudgeBatch) judge();
        }
    }
    if (!pending.isEmpty()) judge();
    return overview;
}

}  // namespace orvex
