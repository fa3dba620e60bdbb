// Figures of the results database, on SQLite and, when ORVEX_BENCH_POSTGRESQL names a server, on
// PostgreSQL beside it:
//  (a) storing one four-test visit (ten readings): median of 50; goal under 50 ms;
//  (b) what history, history --trend, the History tab and a report's trends read, for an asset of
//      10 visits and for one of 10,000: median of 50 each; goal: at 10,000 within 1.5 times the
//      figure at 10. Beside them, the whole history, which each of them read before; and the
//      orvex history commands themselves, median of 10.
#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "BenchFigure.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"

namespace {

// A visit of the main job's shape: static pressure, leak, relief valve, one blood-pressure preset.
orvex::HostVisitRecord Visit(const QString& asset, int number) {
    orvex::HostVisitRecord visit;
    visit.visit = QStringLiteral("%1-%2").arg(asset).arg(number);
    visit.assetId = asset;
    visit.technician = QStringLiteral("technician %1").arg(number);
    // An hour apart, so that the newest visits are a few of many.
    visit.performed =
        QDateTime(QDate(2020, 1, 1), QTime(10, 0), Qt::UTC).addSecs(3600LL * number).toString(Qt::ISODate);
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

// What a command reads of an asset's visits; how many visits or points it got.
struct Path {
    QString what;
    // The whole history of 10,000 visits takes long: fewer rounds of it.
    bool before = false;
    // At 10 visits history reads 10, at 10,000 the 51 it shows and asks: its goal is the command's
    // (below), where the reading is a part of the time a technician waits.
    bool goal = false;
    std::function<qsizetype(const QString& asset)> read;
};

// How long orvex takes over the command for the asset, in milliseconds; it must succeed.
double Command(QStringList arguments, const QString& asset, const QString& database) {
    arguments.insert(1, asset);
    arguments << QStringLiteral("--database") << database;
    QProcess orvex;
    orvex.setStandardOutputFile(QProcess::nullDevice());
    const double taken = BenchFigure::Milliseconds([&] {
        orvex.start(QStringLiteral(ORVEX_EXECUTABLE), arguments);
        orvex.waitForFinished(-1);
    });
    if (orvex.exitStatus() != QProcess::NormalExit || orvex.exitCode() != 0) {
        std::fprintf(stderr, "orvex %s failed\n", qPrintable(arguments.join(QLatin1Char(' '))));
        std::exit(1);
    }
    return taken;
}

void Measure(const QString& name, const QString& url) {
    // Assets named apart, so that a server that keeps its rows measures the same.
    const QString run = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8);
    orvex::HostResultsDatabase database(url);
    std::vector<double> stores;
    for (int i = 0; i < 50; ++i)
        stores.push_back(BenchFigure::Milliseconds(
            [&] { database.Store(Visit(run + QStringLiteral("-store"), i), "v.xml", "archive"); }));
    std::printf("%s: storing a four-test visit: median %.2f ms of 50\n", name.toLocal8Bit().constData(),
                BenchFigure::Median(stores));
    BenchFigure::Print(name + QStringLiteral(": archive one four-test visit"),
                       QStringLiteral("%1 ms").arg(BenchFigure::Median(stores), 0, 'f', 2),
                       QStringLiteral("< 50 ms"), BenchFigure::Median(stores) < 50.0);
    const QString small = run + QStringLiteral("-10"), large = run + QStringLiteral("-10000");
    for (int i = 0; i < 10; ++i) database.Store(Visit(small, i), "v.xml", "archive");
    const auto filled = BenchFigure::Milliseconds([&] {
        for (int i = 0; i < 10000; ++i) database.Store(Visit(large, i), "v.xml", "archive");
    });
    std::printf("%s: 10,000 visits of one asset stored in %.1f s\n", name.toLocal8Bit().constData(),
                filled / 1000);
    // As the commands ask: one visit more than history and the History tab show tells whether
    // there are more; a report reads each judged reading's last nine points before its visit.
    const Path history{QStringLiteral("history --limit 50, the History tab"), false, false,
                       [&](const QString& asset) { return database.History(asset, 51).size(); }};
    const Path trend{QStringLiteral("history --trend DIFF"), false, false, [&](const QString& asset) {
                         return database.History(asset, 51, QStringLiteral("DIFF")).size();
                     }};
    const Path report{QStringLiteral("a report's ten trends"), false, true, [&](const QString& asset) {
                          qsizetype points = 0;
                          for (const auto& test : Visit(asset, 0).tests)
                              for (const auto& reading : test.readings)
                                  points += database
                                                .Readings(asset, test.testId, test.position, reading.key,
                                                          QStringLiteral("2099-01-01T00:00:00Z"), 9)
                                                .size();
                          return points;
                      }};
    const Path everything{QStringLiteral("the whole history (as each read before)"), true, false,
                          [&](const QString& asset) { return database.History(asset).size(); }};
    for (const Path& path : {history, trend, report, everything}) {
        const int rounds = path.before ? 5 : 50;
        std::vector<double> at10, at10000;
        qsizetype read10 = 0, read10000 = 0;
        for (int i = 0; i < rounds; ++i) {
            at10.push_back(BenchFigure::Milliseconds([&] { read10 = path.read(small); }));
            at10000.push_back(BenchFigure::Milliseconds([&] { read10000 = path.read(large); }));
        }
        const double ratio = BenchFigure::Median(at10000) / BenchFigure::Median(at10);
        std::printf(
            "%s: %s: median %.2f ms at 10 visits (%lld read), %.2f ms at 10,000 (%lld read), "
            "%.1fx, of %d\n",
            name.toLocal8Bit().constData(), path.what.toLocal8Bit().constData(), BenchFigure::Median(at10),
            static_cast<long long>(read10), BenchFigure::Median(at10000), static_cast<long long>(read10000),
            ratio, rounds);
        const QString what = name + QStringLiteral(": ") + path.what + QStringLiteral(", 10,000 visits");
        const QString value = QStringLiteral("%1 ms, %2x of 10 visits")
                                  .arg(BenchFigure::Median(at10000), 0, 'f', 2)
                                  .arg(ratio, 0, 'f', 1);
        if (path.goal) {
            BenchFigure::Print(what, value, QStringLiteral("<= 1.5x"), ratio <= 1.5);
        } else {
            BenchFigure::Print(what, value);
        }
    }
    // The commands themselves, as a technician's shell runs them: start-up included. With
    // --limit 0 they read the whole history, as they did before they paged.
    for (const QString& options : {QStringLiteral(""), QStringLiteral("--trend DIFF"),
                                   QStringLiteral("--limit 0"), QStringLiteral("--trend DIFF --limit 0")}) {
        const QStringList arguments =
            QStringList{QStringLiteral("history")} + options.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const bool before = options.contains(QLatin1String("--limit"));
        const int rounds = before ? 3 : 10;
        std::vector<double> at10, at10000;
        for (int i = 0; i < rounds; ++i) {
            at10.push_back(Command(arguments, small, url));
            at10000.push_back(Command(arguments, large, url));
        }
        const double ratio = BenchFigure::Median(at10000) / BenchFigure::Median(at10);
        const QString what = QStringLiteral("orvex %1").arg(arguments.join(QLatin1Char(' ')));
        std::printf("%s: %s: median %.1f ms at 10 visits, %.1f ms at 10,000, %.2fx, of %d\n",
                    name.toLocal8Bit().constData(), what.toLocal8Bit().constData(), BenchFigure::Median(at10),
                    BenchFigure::Median(at10000), ratio, rounds);
        const QString figure = name + QStringLiteral(": ") + what + QStringLiteral(", 10,000 visits");
        const QString value = QStringLiteral("%1 ms, %2x of 10 visits")
                                  .arg(BenchFigure::Median(at10000), 0, 'f', 1)
                                  .arg(ratio, 0, 'f', 2);
        if (before) {
            BenchFigure::Print(figure, value);
        } else {
            BenchFigure::Print(figure, value, QStringLiteral("<= 1.5x"), ratio <= 1.5);
        }
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
