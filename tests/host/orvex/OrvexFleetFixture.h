#pragma once

#include <QDateTime>
#include <cmath>
#include <memory>

#include "OrvexRunFixture.h"
#include "host/archive/HostResultsDatabase.h"

// A store of many assets' visits for the questions a department asks of it.
class OrvexFleetTest : public OrvexRunTest {
protected:
    // A visit of one static test, at nine o'clock UTC that day: DIFF judged against ±3 mmHg (left out
    // when NaN), RATE against 0..10.
    void Store(const QString& asset, const QDate& date, double diff, double rate,
               const QString& verdict = "PASSED", const QString& location = "Ward 4") {
        orvex::HostVisitRecord visit;
        const QString performed = QDateTime(date, QTime(9, 0), Qt::UTC).toString(Qt::ISODate);
        visit.visit = asset + " " + performed;
        visit.assetId = asset;
        visit.assetMakeModel = "Maker M3";
        visit.assetLocation = location;
        visit.verdict = verdict;
        visit.performed = performed;
        visit.tests.append(
            {1,
             300,
             "Static",
             "passed",
             performed,
             {{"RATE", "", QString::number(rate), rate, "mmHg/min", "passed", {{"X", 0.0, 10.0}}}}});
        if (!std::isnan(diff))
            visit.tests[0].readings.prepend(
                {"DIFF", "", QString::number(diff), diff, "mmHg", "passed", {{"X", -3.0, 3.0}}});
        if (!database)
            database = std::make_unique<orvex::HostResultsDatabase>(dir.filePath("results.sqlite"));
        database->Store(visit, "v.xml", "archive");
    }

    // MON-17 drifts about 1 mmHg a year (DriftTest holds the hand calculation: +3 mmHg is reached
    // 2025-06-19) while its leak rate wanders without a trend; its last visit is long past its
    // interval, and an unfinished visit after it does not count.
    void StoreDrifting() {
        const QList<std::pair<QDate, double>> drifting{{QDate(2021, 6, 1), -1.0},
                                                       {QDate(2022, 6, 1), 0.1},
                                                       {QDate(2023, 6, 1), 0.9},
                                                       {QDate(2024, 6, 1), 2.0}};
        const double rates[] = {2.0, 5.0, 2.5, 4.5};
        for (int i = 0; i < drifting.size(); ++i)
            Store("MON-17", drifting[i].first, drifting[i].second, rates[i]);
        Store("MON-17", QDate(2024, 9, 1), std::nan(""), 3.0, "INCOMPLETE");
    }

    // Closes the store, so that orvex reads all of it.
    void Close() { database.reset(); }

private:
    std::unique_ptr<orvex::HostResultsDatabase> database;
};
