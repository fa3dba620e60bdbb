#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <cstdio>
#include <vector>

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostVisitRecord.h"
#include "hostapi/ComError.h"

using orvex::HostResultsDatabase;
using orvex::HostVisitRecord;

namespace {

HostVisitRecord Visit(const QString& asset, const QString& technician, int minute, double reading) {
    HostVisitRecord visit;
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

    QTemporaryDir folder;
    QString url;
    const QString prefix = QUuid::createUuid().toString(QUuid::WithoutBraces).left(8) + "-";
};

TEST_P(ResultsDatabaseTest, StoresOnceReadsNewestFirstAndFlagsAnEditedRow) {
    HostResultsDatabase database(url);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 1, 1.5), "a.xml"),
              HostResultsDatabase::Stored::New);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 2, -0.25), "b.xml"),
              HostResultsDatabase::Stored::New);
    EXPECT_EQ(database.Store(Visit(Asset("MON-17"), "Kim", 2, -0.25), "c.xml"),
              HostResultsDatabase::Stored::AlreadyThere);
    EXPECT_EQ(database.Store(Visit(Asset("MON-18"), "Lee", 3, 0), "d.xml"), HostResultsDatabase::Stored::New);
    auto history = database.History(Asset("MON-17"));
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].record.tests[0].readings[0].value, -0.25);
    EXPECT_EQ(history[0].record.Json(), Visit(Asset("MON-17"), "Kim", 2, -0.25).Json())
        << "read back as stored";
    EXPECT_FALSE(history[0].altered);
    EXPECT_EQ(database.History(Asset("MON-17"), 1).size(), 1);
    EXPECT_TRUE(database.History(Asset("NOBODY")).isEmpty());

    Edit(
        "UPDATE measurements SET value = 0.5 WHERE value_text = '1.5' AND test IN (SELECT t.id FROM tests t "
        "JOIN visits v ON v.id = t.visit JOIN assets a ON a.id = v.asset WHERE a.asset_id = '" +
        Asset("MON-17") + "')");
    history = database.History(Asset("MON-17"));
    EXPECT_FALSE(history[0].altered);
    EXPECT_TRUE(history[1].altered);
    EXPECT_THROW(database.Store(Visit("", "Kim", 4, 0), "e.xml"), orvex::ComError);
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
        database.Store(visit, "v.xml");
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
                    if (database.Store(visit, QStringLiteral("v.xml")) != HostResultsDatabase::Stored::New)
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
        database.Store(visit, "a.xml");
        FAIL() << "stored over a dropped connection";
    } catch (const orvex::ComError& e) {
        EXPECT_EQ(e.Number(), HostResultsDatabase::kErrDatabase);
        EXPECT_TRUE(e.Description().startsWith("the results database postgresql://"))
            << e.Description().toStdString();
    }
    HostResultsDatabase next(url);
    EXPECT_EQ(next.Store(visit, "a.xml"), HostResultsDatabase::Stored::New);
    EXPECT_EQ(next.History(Asset("MON-5")).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, ResultsDatabaseTest, ::testing::Values("sqlite", "postgresql"));
