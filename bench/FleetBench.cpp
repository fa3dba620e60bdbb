// Figures of the questions asked of the whole store, on SQLite and, when ORVEX_BENCH_POSTGRESQL
// names an empty database, on PostgreSQL: orvex due, drift and fleet over a generated database of
// many assets, each with many visits. The goal is 2 s at 1,000 assets of
// 10,000 visits; that store (ten million visits) takes too long to generate here, so the bench
// fills ASSETS x VISITS (default 1,000 x 100, set with ORVEX_BENCH_FLEET="1000x100") and says
// the figures for that. What is read and computed: one query for the due list (each asset's newest
// complete visit), one streamed query of the judged readings in each asset's newest 50 visits for
// the drift list; the page adds one query for each asset's newest visits.
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchFigure.h"
#include "host/archive/HostFleet.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRevision.h"
#include "host/archive/HostVisitRecord.h"

namespace {

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "bench_fleet: %s\n", qPrintable(what));
    std::exit(1);
}

// The new row's id: PostgreSQL gives it only through RETURNING.
QVariant Run(QSqlQuery& query, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) query.bindValue(i, values[i]);
    if (!query.exec()) Fail(query.lastError().text());
    QVariant id = query.next() ? query.value(0) : QVariant();
    // A statement left open would keep the transaction from committing.
    query.finish();
    return id;
}

// Visit v (0 the oldest) of asset a: a month apart, the newest some days to a year and a half ago.
// One asset in ten drifts by about 1 mmHg a year; the others scatter about zero.
orvex::HostVisitRecord Visit(int asset, int v, int visits) {
    orvex::HostVisitRecord visit;
    visit.visit = QStringLiteral("A%1-%2").arg(asset).arg(v);
    visit.assetId = QStringLiteral("MON-%1").arg(asset, 5, 10, QLatin1Char('0'));
    visit.assetMakeModel = QStringLiteral("Maker M%1").arg(asset % 7);
    visit.assetLocation = QStringLiteral("Ward %1").arg(asset % 13);
    visit.technician = QStringLiteral("Kim");
    const QDateTime newest = QDateTime::currentDateTimeUtc().addDays(-((asset * 37) % 540));
    const QDateTime when = newest.addDays(-30LL * (visits - 1 - v));
    visit.performed = when.toString(Qt::ISODate);
    visit.verdict = QStringLiteral("PASSED");
    const double years = -30.0 * (visits - 1 - v) / 365.2425;
    const double scatter = ((asset * 31 + v * 17) % 11 - 5) * 0.05;
    const double diff = (asset % 10 == 0 ? 2.0 + years : 0.0) + scatter;
    const double rate = 3.0 + ((asset + v * 7) % 9) * 0.2;
    visit.tests.append({1,
                        300,
                        QStringLiteral("Static"),
                        QStringLiteral("passed"),
                        visit.performed,
                        {{QStringLiteral("DIFF"),
                          QStringLiteral("Difference"),
                          QString::number(diff),
                          diff,
                          QStringLiteral("mmHg"),
                          QStringLiteral("passed"),
                          {{QStringLiteral("X"), -3.0, 3.0}}},
                         {QStringLiteral("RATE"),
                          QStringLiteral("Leak rate"),
                          QString::number(rate),
                          rate,
                          QStringLiteral("mmHg/min"),
                          QStringLiteral("passed"),
                          {{QStringLiteral("X"), 0.0, 6.0}}}}});
    return visit;
}

QString Limits(const QList<orvex::HostVisitRecord::Limit>& limits) {
    QStringList parts;
    for (const auto& limit : limits)
        parts << QStringLiteral("{\"high\":%1,\"low\":%2,\"standard\":\"%3\"}")
                     .arg(*limit.high)
                     .arg(*limit.low)
                     .arg(limit.standard);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

// The rows orvex archive would store, written in one transaction, each revision sealed after the one
// before it, so the store is whole.
void Fill(const QString& path, int assets, int visits) {
    orvex::HostResultsDatabase(path).Dues();
    {
        // The bench's own server is trusted: its URL is taken apart plainly.
        const QUrl url(path);
        const bool server = url.scheme().startsWith(QLatin1String("postgres"));
        QSqlDatabase database = QSqlDatabase::addDatabase(
            server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        if (server) {
            database.setHostName(url.host());
            database.setPort(url.port(5432));
            database.setUserName(url.userName());
            database.setPassword(url.password());
            database.setDatabaseName(url.path().mid(1));
        } else {
            database.setDatabaseName(path);
        }
        if (!database.open()) Fail(database.lastError().text());
        QSqlQuery(database).exec(QStringLiteral("BEGIN"));
        QSqlQuery asset(database), visitRow(database), test(database), measurement(database),
            revision(database);
        asset.prepare(QStringLiteral("INSERT INTO assets (asset_id) VALUES (?) RETURNING id"));
        visitRow.prepare(QStringLiteral(
            "INSERT INTO visits (asset, file, asset_make_model, asset_serial_no, asset_location, technician, "
            "performed, instrument_name, instrument_serial_no, instrument_firmware, verdict, archived, "
            "content_sha256) VALUES (?, ?, ?, '', ?, ?, ?, '', '', '', ?, ?, ?) RETURNING id"));
        test.prepare(
            QStringLiteral("INSERT INTO tests (visit, position, test_id, name, status, performed) VALUES (?, "
                           "?, ?, ?, ?, ?) RETURNING id"));
        measurement.prepare(QStringLiteral(
            "INSERT INTO measurements (test, position, key, description, value_text, value, unit, "
            "status, limits) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        revision.prepare(QStringLiteral(
            "INSERT INTO revisions (visit, visit_uid, revision, command, archived, content_sha256, "
            "seal) VALUES (?, ?, 1, 'archive', ?, ?, ?)"));
        const QString archived = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        QString previous;
        for (int a = 0; a < assets; ++a) {
            QVariant assetKey;
            for (int v = 0; v < visits; ++v) {
                const auto record = Visit(a, v, visits);
                if (v == 0) assetKey = Run(asset, {record.assetId});
                orvex::HostRevision sealed;
                sealed.visit = record.visit;
                sealed.number = 1;
                sealed.command = QStringLiteral("archive");
                sealed.archived = archived;
                sealed.content = record.Checksum();
                sealed.seal = sealed.SealAfter(previous);
                previous = sealed.seal;
                const QVariant visitKey =
                    Run(visitRow,
                        {assetKey, QStringLiteral("/v.xml"), record.assetMakeModel, record.assetLocation,
                         record.technician, record.performed, record.verdict, archived, sealed.content});
                for (const auto& t : record.tests) {
                    const QVariant testKey =
                        Run(test, {visitKey, t.position, t.testId, t.name, t.status, t.performed});
                    int position = 0;
                    for (const auto& r : t.readings)
                        Run(measurement, {testKey, ++position, r.key, r.description, r.valueText, *r.value,
                                          r.unit, r.status, Limits(r.limits)});
                }
                Run(revision, {visitKey, sealed.visit, archived, sealed.content, sealed.seal});
            }
        }
        if (!QSqlQuery(database).exec(QStringLiteral("COMMIT"))) Fail(QStringLiteral("commit failed"));
        // A server plans from its statistics, which its autovacuum gathers some time after a bulk
        // load: gathered at once, as a department's store that has been in use has them.
        if (server && !QSqlQuery(database).exec(QStringLiteral("ANALYZE")))
            Fail(QStringLiteral("ANALYZE failed"));
        database.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

double Command(const QStringList& arguments) {
    QProcess orvex;
    orvex.setStandardOutputFile(QProcess::nullDevice());
    orvex.setStandardErrorFile(QProcess::nullDevice());
    const double taken = BenchFigure::Milliseconds([&] {
        orvex.start(QStringLiteral(ORVEX_EXECUTABLE), arguments);
        orvex.waitForFinished(-1);
    });
    if (orvex.exitStatus() != QProcess::NormalExit || orvex.exitCode() != 0)
        Fail(QStringLiteral("orvex %1 failed").arg(arguments.join(QLatin1Char(' '))));
    return taken;
}

}  // namespace

// Fills the store at path (a file, or an empty PostgreSQL database) and times the questions.
void Measure(const QString& backend, const QString& path, const QTemporaryDir& folder, int assets,
             int visits) {
    const double filled = BenchFigure::Milliseconds([&] { Fill(path, assets, visits); });
    const QString size = QStringLiteral("%1 assets x %2 visits").arg(assets).arg(visits);
    std::printf("%s: %s (%d readings) generated in %.1f s\n", qPrintable(backend), qPrintable(size),
                assets * visits * 2, filled / 1000);
    orvex::HostResultsDatabase database(path, orvex::HostResultsDatabase::Access::Read);
    qsizetype due = 0, drifting = 0;
    std::vector<double> dueTimes, driftTimes;
    for (int i = 0; i < 5; ++i) {
        dueTimes.push_back(BenchFigure::Milliseconds([&] {
            due = orvex::HostFleet::Due(database, QDateTime::currentDateTimeUtc().date(), 30).size();
        }));
        driftTimes.push_back(BenchFigure::Milliseconds([&] {
            drifting = orvex::HostFleet::Drift(database, QDateTime::currentDateTimeUtc(), 12).size();
        }));
    }
    std::printf(
        "%s: due list of %lld assets: median %.1f ms of 5; drift list of %lld readings: median %.1f "
        "ms of 5\n",
        qPrintable(backend), static_cast<long long>(due), BenchFigure::Median(dueTimes),
        static_cast<long long>(drifting), BenchFigure::Median(driftTimes));
    std::vector<double> dueCommand, driftCommand, pageCommand;
    const QString page = folder.filePath(backend + QStringLiteral(".html"));
    for (int i = 0; i < 3; ++i) {
        dueCommand.push_back(Command({QStringLiteral("due"), QStringLiteral("--database"), path}));
        driftCommand.push_back(Command({QStringLiteral("drift"), QStringLiteral("--database"), path}));
        pageCommand.push_back(Command(
            {QStringLiteral("fleet"), QStringLiteral("--html"), page, QStringLiteral("--database"), path}));
    }
    std::printf("the page is %.1f MB\n", static_cast<double>(QFileInfo(page).size()) / 1e6);
    for (const auto& [what, times] : {std::pair{QStringLiteral("orvex due"), dueCommand},
                                      std::pair{QStringLiteral("orvex drift"), driftCommand},
                                      std::pair{QStringLiteral("orvex fleet --html"), pageCommand}}) {
        const double median = BenchFigure::Median(times);
        std::printf("%s: %s: median %.1f ms of 3\n", qPrintable(backend), qPrintable(what), median);
        BenchFigure::Print(QStringLiteral("%1: %2, %3").arg(backend, what, size),
                           QStringLiteral("%1 ms").arg(median, 0, 'f', 0), QStringLiteral("< 2000 ms"),
                           median < 2000.0);
    }
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList scale =
        qEnvironmentVariable("ORVEX_BENCH_FLEET", QStringLiteral("1000x100")).split('x');
    const int assets = scale.value(0).toInt(), visits = scale.value(1).toInt();
    if (assets < 1 || visits < 3)
        Fail(QStringLiteral("ORVEX_BENCH_FLEET takes ASSETSxVISITS (3 visits or more)"));
    QTemporaryDir folder;
    // To look into the store afterwards.
    if (qEnvironmentVariableIsSet("ORVEX_BENCH_KEEP")) {
        folder.setAutoRemove(false);
        std::printf("the store stays in %s\n", qPrintable(folder.path()));
    }
    Measure(QStringLiteral("SQLite"), folder.filePath(QStringLiteral("fleet.sqlite")), folder, assets,
            visits);
    // An empty database of a server's, for the same figures there.
    const QString server = qEnvironmentVariable("ORVEX_BENCH_POSTGRESQL");
    if (!server.isEmpty()) Measure(QStringLiteral("PostgreSQL"), server, folder, assets, visits);
    return 0;
}
