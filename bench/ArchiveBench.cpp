// Figures of the results database, on SQLite and, when ORVEX_BENCH_POSTGRESQL names a server, on
// PostgreSQL beside it:
//  (a) storing one four-test visit (ten readings): median of 50; goal under 50 ms;
//  (b) an asset's history, and the trend of one reading, in a database of 10,000 visits of 1,000
//      assets: median of 200 assets each; goal under 50 ms.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchFigure.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"

namespace {

// A visit of the main job's shape: static pressure, leak, relief valve, one blood-pressure preset.
orvex::HostVisitRecord Visit(const QString& asset, int number) {
    orvex::HostVisitRecord visit;
    visit.assetId = asset;
    visit.technician = QStringLiteral("technician %1").arg(number);
    visit.performed = QStringLiteral("2026-%1-01T10:00:00Z").arg(1 + number % 12, 2, 10, QLatin1Char('0'));
    visit.verdict = QStringLiteral("PASSED");
    const QList<QStringList> tests{
        {"STAT", "MANO", "DIFF"}, {"RATE"}, {"PEAK", "MREL"}, {"SYST", "DIAS", "HART", "MAPR"}};
    for (int t = 0; t < tests.size(); ++t) {
        orvex::HostVisitRecord::Test test{
            t + 1, 300 + t, QStringLiteral("test"), QStringLiteral("passed"), visit.performed, {}};
        for (const QString& key : tests[t]) {
            const double value = 100.0 + (number * 7 + key.size()) % 50;
            test.readings.append({key,
                                  key,
                                  QString::number(value),
                                  value,
                                  QStringLiteral("mmHg"),
                                  QStringLiteral("passed"),
                                  {{QStringLiteral("LIMIT"), value - 10, value + 10}}});
        }
        visit.tests.append(test);
    }
    return visit;
}

void Measure(const QString& name, const QString& url) {
    // Assets named apart, so that a server that keeps its rows measures the same.
    const QString run = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    orvex::HostResultsDatabase database(url);
    std::vector<double> stores;
    for (int i = 0; i < 50; ++i)
        stores.push_back(BenchFigure::Milliseconds(
            [&] { database.Store(Visit(run + QStringLiteral("-store"), i), "v.xml"); }));
    std::printf("%s: storing a four-test visit: median %.2f ms of 50\n", name.toLocal8Bit().constData(),
                BenchFigure::Median(stores));
    BenchFigure::Print(name + QStringLiteral(": archive one four-test visit"),
                       QStringLiteral("%1 ms").arg(BenchFigure::Median(stores), 0, 'f', 2),
                       QStringLiteral("< 50 ms"), BenchFigure::Median(stores) < 50.0);
    const auto filled = BenchFigure::Milliseconds([&] {
        for (int i = 0; i < 10000; ++i)
            database.Store(Visit(QStringLiteral("%1-%2").arg(run).arg(i % 1000), i), "v.xml");
    });
    std::printf("%s: 10,000 visits of 1,000 assets stored in %.1f s\n", name.toLocal8Bit().constData(),
                filled / 1000);
    std::vector<double> histories, trends;
    for (int i = 0; i < 200; ++i) {
        const QString asset = QStringLiteral("%1-%2").arg(run).arg((i * 37) % 1000);
        histories.push_back(BenchFigure::Milliseconds([&] { database.History(asset); }));
        trends.push_back(BenchFigure::Milliseconds([&] {
            int points = 0;
            for (const auto& visit : database.History(asset, 10))
                for (const auto& test : visit.record.tests)
                    points += static_cast<int>(std::count_if(test.readings.begin(), test.readings.end(),
                                                             [](const auto& r) { return r.key == "DIFF"; }));
            if (points == 0) std::printf("no trend for %s\n", asset.toLocal8Bit().constData());
        }));
    }
    for (const auto& [what, values] : {std::pair{QStringLiteral("history of an asset"), histories},
                                       std::pair{QStringLiteral("trend of a reading (last 10)"), trends}}) {
        std::printf("%s: %s among 10,000 visits: median %.2f ms, max %.2f ms of 200\n",
                    name.toLocal8Bit().constData(), what.toLocal8Bit().constData(),
                    BenchFigure::Median(values), *std::max_element(values.begin(), values.end()));
        BenchFigure::Print(name + QStringLiteral(": ") + what + QStringLiteral(", 10,000 visits"),
                           QStringLiteral("%1 ms").arg(BenchFigure::Median(values), 0, 'f', 2),
                           QStringLiteral("< 50 ms"), BenchFigure::Median(values) < 50.0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    Measure(QStringLiteral("SQLite"), folder.filePath(QStringLiteral("results.sqlite")));
    const QString server = qEnvironmentVariable("ORVEX_BENCH_POSTGRESQL");
    if (!server.isEmpty()) Measure(QStringLiteral("PostgreSQL"), server);
    return 0;
}
