#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QLibrary>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "host/archive/HostDatabaseUrl.h"
#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"
#include "hostapi/ComError.h"

using orvex::HostResultsDatabase;
using orvex::HostVisitRecord;

namespace {

HostVisitRecord Visit(const QString& asset, const QString& technician, int minute, double reading) {
    HostVisitRecord visit;
    visit.visit = QStringLiteral("%1/%2/%3").arg(asset, technician).arg(minute);
    visit.assetId = asset;
    visit.technician = technician;
    visit.verdict = QStringLiteral("PASSED");
    visit.performed = QStringLiteral("2026-12-08T10:%1:00Z").arg(minute % 60, 2, 10, QLatin1Char('0'));
    visit.tests.append({1,
                        300,
                        QStringLiteral("Static"),
                        QStringLiteral("passed"),
                        visit.performed,
                        {{QStringLiteral("DIFF"),
                          QStringLiteral("Difference"),
                          QString::number(reading),
                          reading,
                          QStringLiteral("mmHg"),
                          QStringLiteral("passed"),
                          {{QStringLiteral("GAUGE-3"), -3.0, 3.0}}}}});
    return visit;
}

// Runs SQL on the file as an older program would have left it, outside the store.
void Rewrite(const QString& path, std::initializer_list<const char*> statements) {
    {
        auto old = QSqlDatabase::addDatabase("QSQLITE", "rewrite");
        old.setDatabaseName(path);
        ASSERT_TRUE(old.open());
        QSqlQuery sql(old);
        for (const char* statement : statements) ASSERT_TRUE(sql.exec(statement)) << statement;
    }
    QSqlDatabase::removeDatabase("rewrite");
}

}  // namespace

// The same tests against an SQLite file and, when the test script started one and named it in
// ORVEX_TEST_POSTGRESQL, against a PostgreSQL server.
class ResultsDatabaseTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (QString(GetParam()) == "sqlite") {
            url = folder.filePath("results.sqlite");
            return;
        }
        url = qEnvironmentVariable("ORVEX_TEST_POSTGRESQL");
        if (url.isEmpty()) GTEST_SKIP() << "no PostgreSQL server named in ORVEX_TEST_POSTGRESQL";
    }
    // The server outlives a test: each names its assets apart.
    QString Asset(const QString& name) const { return prefix + name; }
    // Changes rows behind the program's back, over a connection of the test's own; rows < 0: a
    // statement that changes none.
    void Edit(const QString& sql, int rows = 1) {
        {
            const QUrl parsed(url);
            auto database =
                QSqlDatabase::addDatabase(QString(GetParam()) == "sqlite" ? "QSQLITE" : "QPSQL", "edit");
            if (QString(GetParam()) == "sqlite") {
                database.setDatabaseName(url);
            } else {
                database.setHostName(parsed.host());
                database.setPort(parsed.port(5432));
                database.setUserName(parsed.userName());
                database.setDatabaseName(parsed.path().mid(1));
            }
            ASSERT_TRUE(database.open());
            QSqlQuery edit(database);
            ASSERT_TRUE(edit.exec(sql));
            if (rows >= 0) {
                EXPECT_EQ(edit.numRowsAffected(), rows);
            }
        }
        QSqlDatabase::removeDatabase("edit");
    }

    // Lets the test's own connection change rows a server keeps, as its owner may.
    void Unguard(const QString& table) {
        if (QString(GetParam()) != "sqlite")
            Edit(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER %1_kept").arg(table), -1);
    }

    QTemporaryDir folder;
    QString url;
    const QString prefix = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8) + "-";
};

TEST_P(ResultsDatabaseTest, StoresOnceReadsNewestFirstAndFlagsAnEditedRow) {
    HostResultsDatabase database(url);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 1, 1.5), "a.xml", "archive"),
              HostResultsDatabase::Stored::New);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 2, -0.25), "b.xml", "archive"),
              HostResultsDatabase::Stored::New);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 2, -0.25), "c.xml", "archive"),
              HostResultsDatabase::Stored::AlreadyThere);
    EXPECT_EQ(database.Store(Visit(Asset("MON-18"), "Lee", 3, 0), "d.xml", "archive"),
              HostResultsDatabase::Stored::New);
    // The same visit after an edit of its asset: a revision, and the history still shows it once.
    auto moved = Visit(Asset("MON-17"), "Kim", 2, -0.25);
    moved.assetLocation = QStringLiteral("Ward 3");
    EXPECT_EQ(database.Store(moved, "b.xml", "archive"), HostResultsDatabase::Stored::Revised);
    EXPECT_EQ(database.Revisions(moved.visit).size(), 2);
    auto history = database.History(Asset("MON-17"));
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].record.tests[0].readings[0].value, -0.25);
    EXPECT_EQ(history[0].record.Json(), moved.Json()) << "read back as stored, newest revision";
    EXPECT_FALSE(history[0].altered);
    EXPECT_EQ(database.History(Asset("MON-17"), 1).size(), 1);
    EXPECT_TRUE(database.History(Asset("NOBODY")).isEmpty());

    Unguard("measurements");
    Edit(
        "UPDATE measurements SET value = 0.5 WHERE value_text = '1.5' AND test IN (SELECT t.id FROM tests t "
        "JOIN visits v ON v.id = t.visit JOIN assets a ON a.id = v.asset WHERE a.asset_id = '" +
        Asset("MON-17") + "')");
    history = database.History(Asset("MON-17"));
    EXPECT_FALSE(history[0].altered);
    EXPECT_TRUE(history[1].altered);
    EXPECT_THROW(database.Store(Visit("", "Kim", 4, 0), "e.xml", "archive"), orvex::ComError);
}

// A trend's points: the newest before the moment that hold the reading as a number, the test at the
// reading's position when a visit has the test twice; --trend's filter keeps visits with the key.
TEST_P(ResultsDatabaseTest, ATrendReadsOnlyTheNewestVisitsHoldingTheReading) {
    HostResultsDatabase database(url);
    const QString asset = Asset("MON-3");
    for (int minute = 1; minute <= 12; ++minute) {
        auto visit = Visit(asset, "Kim", minute, minute);
        if (minute == 9) visit.tests[0].readings[0].value.reset();
        if (minute == 8) visit.tests[0].readings[0].key = QStringLiteral("STAT");
        if (minute == 10) {
            visit.tests.append(visit.tests[0]);
            visit.tests[1].position = 2;
            visit.tests[1].readings[0].value = 99.0;
        }
        database.Store(visit, "v.xml", "archive");
    }
    const auto values = [&](int position, int limit) {
        QList<double> read;
        for (const auto& visit : database.Readings(asset, 300, position, QStringLiteral("DIFF"),
                                                   QStringLiteral("2026-12-08T10:11:00Z"), limit))
            read << *visit.record.tests[0].readings[0].value;
        return read;
    };
    EXPECT_EQ(values(1, 3), (QList<double>{10, 7, 6}));
    EXPECT_EQ(values(2, 2), (QList<double>{99, 7}));
    EXPECT_TRUE(database.Readings(asset, 301, 1, "DIFF", "2027-01-01T00:00:00Z", 10).isEmpty());
    const auto holding = database.History(asset, 5, QStringLiteral("DIFF"));
    ASSERT_EQ(holding.size(), 5);
    EXPECT_EQ(holding[4].record.performed, "2026-12-08T10:07:00Z");
    EXPECT_FALSE(holding[0].altered);
}

// Two processes storing at once, 200 visits each: all 400 are there.
TEST_P(ResultsDatabaseTest, TwoProcessesStoringAtOnceLoseNothing) {
    constexpr int kEach = 200;
    std::vector<pid_t> children;
    for (int process = 0; process < 2; ++process) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int status = 0;
            try {
                HostResultsDatabase database(url);
                for (int i = 0; i < kEach; ++i) {
                    const auto visit = Visit(Asset(QStringLiteral("MON-%1").arg(i % 10)),
                                             QStringLiteral("process %1 visit %2").arg(process).arg(i), i, i);
                    if (database.Store(visit, QStringLiteral("v.xml"), "archive") !=
                        HostResultsDatabase::Stored::New)
                        status = 1;
                }
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                status = 2;
            }
            ::_exit(status);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    HostResultsDatabase database(url);
    qsizetype found = 0;
    for (int asset = 0; asset < 10; ++asset)
        found += database.History(Asset(QStringLiteral("MON-%1").arg(asset))).size();
    EXPECT_EQ(found, 2 * kEach);
}

TEST_P(ResultsDatabaseTest, AnUnopenableDatabaseRaisesAClearError) {
    const QString bad = QString(GetParam()) == "sqlite"
                            ? folder.filePath("file/x.sqlite")
                            : QStringLiteral("postgresql://nobody@127.0.0.1:1/none");
    if (QString(GetParam()) == "sqlite") {
        QFile blocker(folder.filePath("file"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    try {
        HostResultsDatabase database(bad);
        FAIL() << "opened";
    } catch (const orvex::ComError& e) {
        EXPECT_EQ(e.Number(), HostResultsDatabase::kErrDatabase);
        EXPECT_TRUE(e.Description().startsWith("the results database ")) << e.Description().toStdString();
    }
}

// The server ends the session under an open database, as a restart or an administrator would:
// the store fails clearly, leaves nothing half-stored, and the next one succeeds.
TEST_P(ResultsDatabaseTest, ADroppedConnectionFailsClearlyAndTheNextStoreSucceeds) {
    if (QString(GetParam()) == "sqlite") GTEST_SKIP() << "a file has no connection to drop";
    const auto visit = Visit(Asset("MON-5"), "Kim", 5, 0.5);
    HostResultsDatabase database(url);
    Edit(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = current_database() AND "
        "pid <> pg_backend_pid()",
        -1);
    try {
        database.Store(visit, "a.xml", "archive");
        FAIL() << "stored over a dropped connection";
    } catch (const orvex::ComError& e) {
        EXPECT_EQ(e.Number(), HostResultsDatabase::kErrDatabase);
        EXPECT_TRUE(e.Description().startsWith("the results database postgresql://"))
            << e.Description().toStdString();
    }
    HostResultsDatabase next(url);
    EXPECT_EQ(next.Store(visit, "a.xml", "archive"), HostResultsDatabase::Stored::New);
    EXPECT_EQ(next.History(Asset("MON-5")).size(), 1);
}

// The interval of a visit's procedure becomes its asset's, the newest one stored holding, until one
// is set by hand; it is no part of what the visit's checksum covers.
TEST_P(ResultsDatabaseTest, AProceduresIntervalHoldsUntilOneIsSetByHand) {
    HostResultsDatabase database(url);
    const auto store = [&](const QString& asset, int minute, int interval) {
        auto visit = Visit(Asset(asset), "Kim", minute, 0);
        visit.procedureInterval = interval;
        return database.Store(visit, "p.xml", "run");
    };
    const auto months = [&](const QString& asset) {
        for (const auto& due : database.Dues())
            if (due.assetId == Asset(asset)) return due.months;
        return -1;
    };
    store("MON-8", 1, 6);
    EXPECT_EQ(months("MON-8"), 6);
    EXPECT_EQ(store("MON-8", 1, 12), HostResultsDatabase::Stored::AlreadyThere);
    store("MON-8", 2, 3);
    EXPECT_EQ(months("MON-8"), 3);
    store("MON-8", 3, 6);
    EXPECT_EQ(months("MON-8"), 6);
    database.SetInterval(Asset("MON-8"), 9);
    store("MON-8", 4, 6);
    store("MON-8", 5, 4);
    EXPECT_EQ(months("MON-8"), 9);
    store("MON-9", 1, 0);
    EXPECT_EQ(months("MON-9"), HostResultsDatabase::kDefaultInterval);
}

INSTANTIATE_TEST_SUITE_P(Backends, ResultsDatabaseTest, ::testing::Values("sqlite", "postgresql"));

// A database the previous schema wrote: a writer seals its visits in the order they were stored,
// each file one visit (an asset edit archived again, as it was then, its second revision), and the
// history shows the visit once, whole.
TEST(ResultsDatabaseUpgradeTest, AnOlderDatabaseIsSealedAndEachFileIsOneVisit) {
    QTemporaryDir folder;
    const QString path = folder.filePath("old.sqlite");
    auto first = Visit("MON-1", "Kim", 1, 1.5), second = first;
    second.assetLocation = QStringLiteral("Ward 3");
    {
        auto old = QSqlDatabase::addDatabase("QSQLITE", "old");
        old.setDatabaseName(path);
        ASSERT_TRUE(old.open());
        QSqlQuery sql(old);
        for (
            const char* statement :
            {"CREATE TABLE orvex_schema (version INTEGER NOT NULL)", "INSERT INTO orvex_schema VALUES (1)",
             "CREATE TABLE assets (id INTEGER PRIMARY KEY, asset_id TEXT NOT NULL UNIQUE)",
             "CREATE TABLE visits (id INTEGER PRIMARY KEY, asset INTEGER NOT NULL, file TEXT NOT NULL, "
             "asset_make_model TEXT NOT NULL, asset_serial_no TEXT NOT NULL, asset_location TEXT NOT NULL, "
             "technician TEXT NOT NULL, performed TEXT NOT NULL, instrument_name TEXT NOT NULL, "
             "instrument_serial_no TEXT NOT NULL, instrument_firmware TEXT NOT NULL, verdict TEXT NOT NULL, "
             "archived TEXT NOT NULL, content_sha256 TEXT NOT NULL UNIQUE)",
             "CREATE TABLE tests (id INTEGER PRIMARY KEY, visit INTEGER NOT NULL, position INTEGER NOT NULL, "
             "test_id INTEGER NOT NULL, name TEXT NOT NULL, status TEXT NOT NULL, performed TEXT NOT NULL)",
             "CREATE TABLE measurements (id INTEGER PRIMARY KEY, test INTEGER NOT NULL, position INTEGER NOT "
             "NULL, key TEXT NOT NULL, description TEXT NOT NULL, value_text TEXT NOT NULL, value DOUBLE "
             "PRECISION, unit TEXT NOT NULL, status TEXT NOT NULL, limits TEXT NOT NULL)",
             "INSERT INTO assets VALUES (1, 'MON-1')"})
            ASSERT_TRUE(sql.exec(statement)) << statement;
        int row = 0;
        for (const auto& visit : {first, second}) {
            ++row;
            ASSERT_TRUE(
                sql.exec(QStringLiteral("INSERT INTO visits VALUES (%1, 1, '/v.xml', '', '', '%2', 'Kim', "
                                        "'%3', '', '', '', 'PASSED', '2026-12-0%1T00:00:00Z', '%4')")
                             .arg(row)
                             .arg(visit.assetLocation, visit.performed, visit.Checksum())));
            ASSERT_TRUE(
                sql.exec(QStringLiteral("INSERT INTO tests VALUES (%1, %1, 1, 300, 'Static', 'passed', '%2')")
                             .arg(row)
                             .arg(visit.performed)));
            ASSERT_TRUE(
                sql.exec(QStringLiteral("INSERT INTO measurements VALUES (%1, %1, 1, 'DIFF', 'Difference', "
                                        "'1.5', 1.5, 'mmHg', 'passed', "
                                        "'[{\"high\":3,\"low\":-3,\"standard\":\"GAUGE-3\"}]')")
                             .arg(row)));
        }
    }
    QSqlDatabase::removeDatabase("old");
    HostResultsDatabase database(path);
    const auto history = database.History("MON-1");
    ASSERT_EQ(history.size(), 1);
    EXPECT_EQ(history[0].record.assetLocation, "Ward 3");
    EXPECT_EQ(history[0].revision.number, 2);
    EXPECT_FALSE(history[0].altered || history[0].broken);
    const auto verification = HostResultsDatabase(path, HostResultsDatabase::Access::Read).Verify();
    EXPECT_TRUE(verification.breaks.isEmpty());
    EXPECT_EQ(verification.revisions, 2);
    // Archived again from its file, the visit is not stored a third time.
    auto again = second;
    again.visit.clear();
    EXPECT_EQ(database.Store(again, "/v.xml", "archive"), HostResultsDatabase::Stored::AlreadyThere);
}

// Test intervals came with a schema of their own: a database from before them is read with the
// default interval, and the first writer adds them; the newest interval set is the one that holds.
TEST(ResultsDatabaseUpgradeTest, ADatabaseFromBeforeIntervalsIsReadAndAnIntervalSetLaterHolds) {
    QTemporaryDir folder;
    const QString path = folder.filePath("before.sqlite");
    HostResultsDatabase(path).Store(Visit("MON-1", "Kim", 1, 1.5), "/v.xml", "run");
    Rewrite(path, {"DROP TABLE asset_intervals", "DELETE FROM orvex_schema WHERE version >= 3"});
    const auto before = HostResultsDatabase(path, HostResultsDatabase::Access::Read).Dues();
    ASSERT_EQ(before.size(), 1);
    EXPECT_EQ(before[0].months, HostResultsDatabase::kDefaultInterval);
    EXPECT_TRUE(before[0].visited);
    EXPECT_EQ(before[0].last.record.performed, "2026-12-08T10:01:00Z");
    {
        HostResultsDatabase writer(path);
        writer.SetInterval("MON-1", 6);
        writer.SetInterval("MON-1", 3);
        writer.SetInterval("MON-2", 24);
        EXPECT_THROW(writer.SetInterval("MON-1", 0), orvex::ComError);
    }
    const auto after = HostResultsDatabase(path, HostResultsDatabase::Access::Read).Dues();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].months, 3);
    EXPECT_EQ(after[1].assetId, "MON-2");
    EXPECT_EQ(after[1].months, 24);
    EXPECT_FALSE(after[1].visited);
}

// Before intervals were told apart every one was set by hand: a reader takes them as they stand,
// and once the first writer has added the column a procedure's interval gives way to them, while
// an asset without one takes the procedure's.
TEST(ResultsDatabaseUpgradeTest, IntervalsSetBeforeProceduresGaveThemStillHold) {
    QTemporaryDir folder;
    const QString path = folder.filePath("three.sqlite");
    HostResultsDatabase(path).Store(Visit("MON-1", "Kim", 1, 1.5), "/v.xml", "run");
    Rewrite(path, {"DROP TABLE asset_intervals", "DELETE FROM orvex_schema WHERE version = 4",
                   "CREATE TABLE asset_intervals (id INTEGER PRIMARY KEY, asset INTEGER NOT NULL REFERENCES "
                   "assets(id), months INTEGER NOT NULL, set_at TEXT NOT NULL)",
                   "INSERT INTO assets (asset_id) VALUES ('MON-2')",
                   "INSERT INTO asset_intervals (asset, months, set_at) SELECT id, 24, '' FROM assets WHERE "
                   "asset_id = 'MON-1'"});
    const auto read = HostResultsDatabase(path, HostResultsDatabase::Access::Read).Dues();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read[0].months, 24);
    EXPECT_EQ(read[1].months, HostResultsDatabase::kDefaultInterval);
    {
        HostResultsDatabase writer(path);
        for (const char* asset : {"MON-1", "MON-2"}) {
            auto visit = Visit(asset, "Lee", 2, 0.5);
            visit.procedureInterval = 6;
            EXPECT_EQ(writer.Store(visit, "/w.xml", "run"), HostResultsDatabase::Stored::New);
        }
    }
    const auto after = HostResultsDatabase(path, HostResultsDatabase::Access::Read).Dues();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].months, 24);
    EXPECT_EQ(after[1].months, 6);
}

// A PostgreSQL URL read into driver settings, with no server: checked against libpq's own parser of
// connection strings where it is installed (it comes with the PostgreSQL driver).
namespace {

struct ConninfoOption {
    char* keyword;
    char* envvar;
    char* compiled;
    char* val;
    char* label;
    char* dispchar;
    int dispsize;
};

// The pairs libpq reads from the options as the driver hands them over (each ';' a space); none
// when libpq cannot be loaded or refuses the text.
std::optional<std::map<std::string, std::string>> LibpqReads(const QString& options) {
    static QLibrary libpq(QStringLiteral("pq"), 5);
    using Parse = ConninfoOption* (*)(const char*, char**);
    using Free = void (*)(ConninfoOption*);
    const auto parse = reinterpret_cast<Parse>(libpq.resolve("PQconninfoParse"));
    const auto free = reinterpret_cast<Free>(libpq.resolve("PQconninfoFree"));
    if (parse == nullptr || free == nullptr) return std::nullopt;
    char* error = nullptr;
    ConninfoOption* read = parse(QString(options).replace(';', ' ').toLocal8Bit().constData(), &error);
    if (read == nullptr) return std::nullopt;
    std::map<std::string, std::string> pairs;
    for (ConninfoOption* option = read; option->keyword != nullptr; ++option)
        if (option->val != nullptr) pairs[option->keyword] = option->val;
    free(read);
    return pairs;
}

orvex::HostDatabaseUrl Url(const QString& url, const orvex::HostDatabaseUrl::Environment& environment = {}) {
    return orvex::HostDatabaseUrl(url, environment);
}

}  // namespace

TEST(DatabaseUrlTest, ValuesReachTheConnectionAsWrittenAndNothingElseDoes) {
    const auto url =
        Url("postgresql://kim:pw@db.example.org:5433/results?sslrootcert=/etc/with%20space/ca.crt&"
            "application_name=a'%20sslmode='disable%20x=%5C");
    ASSERT_EQ(url.Refused(), "");
    EXPECT_EQ(url.Host(), "db.example.org");
    EXPECT_EQ(url.Port(), 5433);
    EXPECT_EQ(url.Name(), "results");
    const auto pairs = LibpqReads(url.Options());
    if (!pairs) GTEST_SKIP() << "libpq (libpq5) cannot be loaded";
    const std::map<std::string, std::string> expected{{"connect_timeout", "10"},
                                                      {"sslrootcert", "/etc/with space/ca.crt"},
                                                      {"application_name", "a' sslmode='disable x=\\"},
                                                      {"sslmode", "verify-full"}};
    EXPECT_EQ(*pairs, expected);
    EXPECT_EQ(LibpqReads(Url("postgresql://h/r?connect_timeout=3").Options())->at("connect_timeout"), "3");
}

TEST(DatabaseUrlTest, RefusesWhatItCannotPassOnNeverShowingThePassword) {
    for (const auto& [given, said] : std::vector<std::pair<QString, QString>>{
             {"postgresql://kim:Secret99@h/r?password=x",
              "\"password\" is not one it takes (sslmode, sslrootcert"},
             {"postgresql://kim:Secret99@h/r?application_name=a;host=evil", "application_name takes a value"},
             {"postgresql://kim:Secret99@h/r?sslmode=verify-fully", "sslmode takes"},
             {"postgresql://kim:Secret99@h/r?connect_timeout=0", "connect_timeout takes whole seconds"},
             {"postgresql://kim:Secret99@h/r?sslmode=require&sslmode=disable", "gives sslmode twice"},
             {"postgresql://kim:Secret99@h:54x/r", "cannot be read"},
             {"postgresql://kim:Secret99@h/r%00?sslmode=verify-full", "NUL"}}) {
        const auto url = Url(given);
        EXPECT_TRUE(url.Refused().contains(said)) << url.Refused().toStdString();
        EXPECT_FALSE(url.Refused().contains("Secret99") || url.Location().contains("Secret99"))
            << given.toStdString();
        EXPECT_TRUE(url.Options().isEmpty() && url.Password().isEmpty()) << given.toStdString();
    }
    const auto url = Url("postgresql://kim:Secret99@h/r");
    EXPECT_EQ(url.Location(), "postgresql://kim@h/r");
    EXPECT_FALSE(url.Explained("FATAL: password \"Secret99\" for kim").contains("Secret99"));
    EXPECT_TRUE(orvex::HostDatabaseUrl::NamesPassword("postgresql://kim:Secret99@h/r"));
    EXPECT_TRUE(orvex::HostDatabaseUrl::NamesPassword("postgres://kim:Secret99@h:54x/r"));
    EXPECT_FALSE(orvex::HostDatabaseUrl::NamesPassword("postgresql://kim@h/r?sslmode=require"));
}

// verify-full for a server on another machine, unless the URL, PGSSLMODE or a service file decides;
// the local machine keeps libpq's own default. What the URL leaves out is not passed, so a service
// file's host and port hold.
TEST(DatabaseUrlTest, TlsIsVerifiedByDefaultOnlyForAnotherMachine) {
    using Environment = orvex::HostDatabaseUrl::Environment;
    for (const auto& [given, environment, mode] : std::vector<std::tuple<QString, Environment, QString>>{
             {"postgresql://kim@db.example.org/r", {}, "verify-full"},
             {"postgres://kim@10.1.2.3:5433/r", {}, "verify-full"},
             {"postgresql://kim@128.0.0.1/r", {}, "verify-full"},
             {"postgresql:///r", {{}, "db.example.org", {}}, "verify-full"},
             {"postgresql://kim@db.example.org/r?sslmode=require", {}, "require"},
             {"postgresql://kim@db.example.org/r", {"disable", {}, {}}, ""},
             {"postgresql://kim@db.example.org/r", {{}, {}, "biomed"}, ""},
             {"postgresql://kim@127.0.0.1/r", {}, ""},
             {"postgresql://kim@127.8.9.10/r", {}, ""},
             {"postgresql://kim@LocalHost/r", {}, ""},
             {"postgresql://kim@[::1]/r", {}, ""},
             {"postgresql:///r", {}, ""},
             {"postgresql:///r", {{}, "/var/run/postgresql", {}}, ""}}) {
        EXPECT_EQ(Url(given, environment).SslMode(), mode) << given.toStdString();
    }
    const auto service = Url("postgresql:///?service=biomed");
    EXPECT_EQ(service.Refused(), "");
    EXPECT_TRUE(service.Host().isEmpty() && service.Name().isEmpty() && service.User().isEmpty());
    EXPECT_EQ(service.Port(), -1);
    EXPECT_EQ(service.SslMode(), "");
    EXPECT_EQ(service.Location(), "postgresql:///?service=biomed");
    EXPECT_TRUE(Url("postgresql://kim@db.example.org/r")
                    .Explained("server does not support SSL, but SSL was required")
                    .contains("sslmode=disable"));
}
