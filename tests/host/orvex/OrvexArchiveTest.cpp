#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>

#include "OrvexRunFixture.h"
#include "host/archive/HostResultsDatabase.h"

// Visits kept asset by asset in the results database, as orvex run, archive and history use it.
class OrvexArchiveTest : public OrvexRunTest {
protected:
    QString Database() const { return dir.filePath("results.sqlite"); }
    QJsonArray History(const QString& asset) {
        const auto shown = Orvex({"history", asset, "--json"});
        EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
        return QJsonDocument::fromJson(shown.out.toUtf8()).array();
    }
};

TEST_F(OrvexArchiveTest, TwoRunsOfAnAssetAreItsHistoryNewestFirstAndAnEditedRowIsFlagged) {
    // Two visits, each its own file. 262 fails the 3 mmHg limit: the technician says yes to going on.
    const QString first = dir.filePath("first.xml");
    for (const char* typed : {"251\n", "262.5\nanswer yes\n"}) {
        const QString file = QByteArrayView(typed) == "251\n" ? first : this->file;
        ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "MON-17", "--technician", "Kim"}).status, 0);
        const auto run = Orvex(
            QStringList{"run", file} + simulate +
            QStringList{"--auto", Script(QByteArray("start\nreadings 3\ntype STAT ") + typed + "next\n")});
        EXPECT_LE(run.status, 1) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("not archived")) << run.err.toStdString();
    }
    const QJsonArray visits = History("MON-17");
    ASSERT_EQ(visits.size(), 2);
    // The second visit's report draws the difference over both.
    const auto report =
        Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--html", dir.filePath("r.html")});
    EXPECT_EQ(report.status, 0) << report.err.toStdString();
    EXPECT_FALSE(report.err.contains("warning")) << report.err.toStdString();
    QFile html(dir.filePath("r.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    EXPECT_TRUE(html.readAll().contains("Over the last 2 visits, since "));
    // In German the report's own words are German and its numbers have a decimal comma; the
    // plug-in's tables too.
    const QString german = dir.filePath("de.html");
    ASSERT_EQ(
        Orvex({"report", file, "--pdf", dir.filePath("de.pdf"), "--html", german, "--language", "German"})
            .status,
        0);
    QFile germanHtml(german);
    ASSERT_TRUE(germanHtml.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(germanHtml.readAll());
    for (const char* expected :
         {"<title>Prüfbericht</title>", "Gesamtergebnis", "NICHT BESTANDEN", "Messwerte und ihre Grenzwerte",
          "außerhalb", "Die letzten 2 Besuche, seit "}) {
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected;
    }
    for (const char* english : {"Test report", "Overall verdict", "outside"})
        EXPECT_FALSE(page.contains(QLatin1String(english))) << english;
    // 262.5 less the Korotka's reading, which has a decimal of its own.
    EXPECT_TRUE(page.contains(QRegularExpression("\\d,\\d mmHg")));
    EXPECT_FALSE(page.contains(QRegularExpression("\\d\\.\\d mmHg")));
    EXPECT_EQ(visits[0].toObject()["verdict"].toString(), "FAILED");
    EXPECT_EQ(visits[1].toObject()["verdict"].toString(), "PASSED");
    EXPECT_EQ(visits[0].toObject()["technician"].toString(), "Kim");
    EXPECT_FALSE(visits[0].toObject()["altered"].toBool());
    const QJsonObject reading =
        visits[1].toObject()["tests"].toArray()[0].toObject()["readings"].toArray()[0].toObject();
    EXPECT_EQ(reading["key"].toString(), "STAT");
    EXPECT_EQ(reading["value"].toDouble(), 251.0);

    // The last visit again: already there, nothing changes.
    const auto again = Orvex({"archive", file});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains("stored in " + Database() + " before; nothing changed"))
        << again.out.toStdString();
    EXPECT_EQ(History("MON-17").size(), 2);

    const QStringList trend =
        Orvex({"history", "MON-17", "--trend", "DIFF"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(trend.size(), 2);
    EXPECT_TRUE(trend[0].endsWith(" mmHg\tfailed")) << trend[0].toStdString();
    EXPECT_TRUE(trend[1].endsWith(" mmHg\tpassed")) << trend[1].toStdString();

    // A reading changed behind the program's back.
    {
        auto database = QSqlDatabase::addDatabase("QSQLITE", "edit");
        database.setDatabaseName(Database());
        ASSERT_TRUE(database.open());
        QSqlQuery edit(database);
        ASSERT_TRUE(
            edit.exec("UPDATE measurements SET value_text = '250', value = 250 WHERE value_text = '262.5'"));
        EXPECT_EQ(edit.numRowsAffected(), 1);
    }
    QSqlDatabase::removeDatabase("edit");
    const auto edited = Orvex({"history", "MON-17", "--json"});
    EXPECT_EQ(edited.status, 1) << "a history showing an altered visit does not end as if all were well";
    const QJsonArray visitsNow = QJsonDocument::fromJson(edited.out.toUtf8()).array();
    ASSERT_EQ(visitsNow.size(), 2);
    EXPECT_TRUE(visitsNow[0].toObject()["altered"].toBool());
    EXPECT_FALSE(visitsNow[1].toObject()["altered"].toBool());
    EXPECT_TRUE(Orvex({"history", "MON-17"}).out.contains("altered after it was stored"));
}

TEST_F(OrvexArchiveTest, ADatabaseThatCannotBeOpenedIsWarnedAboutAndTheRunStands) {
    ASSERT_EQ(Orvex({"new", file, "200", "--asset-id", "MON-9"}).status, 0);
    const auto run = Orvex(QStringList{"run", file, "--database", dir.filePath("no-folder-file/x.sqlite/")} +
                           simulate + QStringList{"--auto", Script("start\nnext\n")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("orvex: warning: the visit was not archived: the results database"))
        << run.err.toStdString();
    EXPECT_TRUE(Orvex({"show", file}).out.contains("passed"));
    const auto report = Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--database",
                               dir.filePath("no-folder-file/x.sqlite/")});
    EXPECT_EQ(report.status, 0) << report.err.toStdString();
    EXPECT_TRUE(report.err.contains("orvex: warning: the report shows no trends: the results database"))
        << report.err.toStdString();
    // The next archive, to a database that opens, takes the visit.
    EXPECT_EQ(Orvex({"archive", file}).status, 0);
    EXPECT_EQ(History("MON-9").size(), 1);
    EXPECT_EQ(Orvex({"run", file, "--no-archive", "--database", Database()}).status, 2);
    EXPECT_EQ(Orvex({"archive", dir.filePath("missing.xml")}).status, 2);
}

// A damaged database is an error, never a history of altered visits; an empty file is not a new
// database to write into.
TEST_F(OrvexArchiveTest, ADamagedOrEmptyDatabaseFailsAndIsNotWrittenInto) {
    ASSERT_EQ(Orvex({"new", file, "200", "--asset-id", "MON-5"}).status, 0);
    ASSERT_EQ(
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nnext\n")}).status,
        0);
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(
            Orvex({"asset", file, "--technician", QString("Technician %1 of the ward's long rota").arg(i)})
                .status,
            0);
        ASSERT_EQ(Orvex({"archive", file}).status, 0);
    }
    // One visit, each edit a revision of it.
    ASSERT_EQ(History("MON-5").size(), 1);
    EXPECT_EQ(Orvex({"history", "MON-5", "--revisions"}).out.count("  revision "), 13);
    QFile database(Database());
    ASSERT_TRUE(database.open(QIODevice::ReadWrite));
    // The page that holds the visit as the history shows it, turned to garbage from its header on.
    const qint64 shown = database.readAll().lastIndexOf("Technician 11 of the ward's long rota");
    ASSERT_GT(shown, 4096);
    ASSERT_TRUE(database.seek(shown / 4096 * 4096));
    database.write(QByteArray(400, '\x5a'));
    database.close();
    // The damage is the database's own error, never a break of the seals or an altered visit.
    for (const QStringList& reader : {QStringList{"history", "MON-5"}, QStringList{"verify"}}) {
        const auto damaged = Orvex(reader);
        EXPECT_EQ(damaged.status, 2) << damaged.out.toStdString();
        EXPECT_TRUE(damaged.err.contains("malformed")) << damaged.err.toStdString();
        EXPECT_FALSE(damaged.out.contains("altered") || damaged.out.contains("break"))
            << damaged.out.toStdString();
    }
    // Nothing is written into a damaged file.
    const QByteArray before = [&] {
        QFile read(Database());
        return read.open(QIODevice::ReadOnly) ? read.readAll() : QByteArray();
    }();
    ASSERT_EQ(Orvex({"asset", file, "--technician", "One more"}).status, 0);
    const auto refused = Orvex({"archive", file});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains("nothing was written")) << refused.err.toStdString();
    QFile after(Database());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);

    QFile empty(dir.filePath("empty.sqlite"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const auto emptyRefused = Orvex({"archive", file, "--database", empty.fileName()});
    EXPECT_EQ(emptyRefused.status, 2);
    EXPECT_TRUE(emptyRefused.err.contains("the file is empty")) << emptyRefused.err.toStdString();
    EXPECT_EQ(QFileInfo(empty.fileName()).size(), 0);
}

// A long history is shown newest first and in pages; --trend pages the visits that hold the
// reading; the report's trend draws the newest ten before its visit.
TEST_F(OrvexArchiveTest, HistoryPagesTheNewestVisitsAndTrendsReadTheVisitsTheyDraw) {
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "MON-8"}).status, 0);
    ASSERT_LE(Orvex(QStringList{"run", file} + simulate +
                    QStringList{"--auto", Script("start\nreadings 3\ntype STAT 251\nnext\n")})
                  .status,
              1);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(Orvex({"asset", file, "--technician", QString("X%1").arg(i)}).status, 0);
        ASSERT_EQ(Orvex({"archive", file}).status, 0);
    }
    {
        // 55 visits before the run's, and two after it without a DIFF.
        orvex::HostResultsDatabase database(Database());
        for (int i = 0; i < 57; ++i) {
            orvex::HostVisitRecord visit;
            visit.assetId = "MON-8";
            visit.technician = i < 55 ? QString("Earlier %1").arg(i) : QString("Later %1").arg(i - 55);
            visit.verdict = "PASSED";
            visit.performed =
                (i < 55 ? QDateTime(QDate(2020, 1, 1), QTime(10, 0), Qt::UTC).addSecs(3600LL * i)
                        : QDateTime(QDate(2030, 1, 1 + i - 55), QTime(10, 0), Qt::UTC))
                    .toString(Qt::ISODate);
            visit.tests.append(
                {1,
                 300,
                 "Static",
                 "passed",
                 visit.performed,
                 {{i < 55 ? "DIFF" : "STAT", "", "1", 1.0, "mmHg", "passed", {{"X", -3.0, 3.0}}}}});
            visit.visit = QString::number(i);
            database.Store(visit, "v.xml", "archive");
        }
    }
    const auto two = Orvex({"history", "MON-8", "--limit", "2"});
    EXPECT_EQ(two.status, 0);
    EXPECT_EQ(two.out.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^\\d")).size(), 2);
    EXPECT_LT(two.out.indexOf("Later 1"), two.out.indexOf("Later 0"));
    EXPECT_TRUE(two.err.contains("--limit 0")) << two.err.toStdString();
    const auto page = Orvex({"history", "MON-8", "--json"});
    EXPECT_EQ(QJsonDocument::fromJson(page.out.toUtf8()).array().size(), 50);
    EXPECT_EQ(QJsonDocument::fromJson(Orvex({"history", "MON-8", "--json", "--limit", "0"}).out.toUtf8())
                  .array()
                  .size(),
              58);
    for (const char* wrong : {"-1", "ten"})
        EXPECT_EQ(Orvex({"history", "MON-8", "--limit", wrong}).status, 2) << wrong;

    // The later ones have no DIFF.
    const QStringList trend =
        Orvex({"history", "MON-8", "--trend", "DIFF", "--limit", "4"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(trend.size(), 4);
    const QString run = trend[0].section('\t', 0, 0);
    EXPECT_FALSE(run.startsWith("2020-") || run.startsWith("2030-")) << run.toStdString();
    // The run's visit, archived three times, once; then the newest earlier ones.
    EXPECT_TRUE(trend[1].startsWith("2020-01-03T16:00:00Z")) << trend[1].toStdString();
    EXPECT_TRUE(trend[3].startsWith("2020-01-03T14:00:00Z")) << trend[3].toStdString();

    // The run's visits are performed with it, not before: the trend is the earlier ones' newest
    // nine and the run's own reading.
    ASSERT_EQ(
        Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--html", dir.filePath("r.html")}).status, 0);
    QFile html(dir.filePath("r.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString since = QDateTime(QDate(2020, 1, 1), QTime(10, 0), Qt::UTC)
                              .addSecs(3600LL * 46)
                              .toLocalTime()
                              .toString("yyyy-MM-dd HH:mm");
    EXPECT_TRUE(html.readAll().contains(("Over the last 10 visits, since " + since).toUtf8()));
}

// Under the trend the report says where its line leads: three visits a year apart before the
// run, each 1 mmHg below the next, rise by 1 mmHg a year and leave the ±3 mmHg band 3 - v years
// after the run's own difference v.
TEST_F(OrvexArchiveTest, TheReportSaysWhenTheTrendLeavesItsBand) {
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "MON-9"}).status, 0);
    ASSERT_LE(Orvex(QStringList{"run", file} + simulate +
                    QStringList{"--auto", Script("start\nreadings 3\ntype STAT 251\nnext\n")})
                  .status,
              1);
    orvex::HostResultsDatabase database(Database());
    const auto run = database.History("MON-9", 1);
    ASSERT_EQ(run.size(), 1);
    double value = 0.0;
    for (const auto& reading : run[0].record.tests.value(0).readings)
        if (reading.key == "DIFF") value = reading.value.value_or(0.0);
    ASSERT_GT(value, 0.0);
    ASSERT_LT(value, 3.0);
    const QDateTime at = QDateTime::fromString(run[0].record.tests.value(0).performed, Qt::ISODate);
    constexpr double kYear = 365.2425 * 86400;
    for (int years = 1; years <= 3; ++years) {
        orvex::HostVisitRecord visit;
        visit.assetId = "MON-9";
        visit.verdict = "PASSED";
        visit.performed = at.addSecs(-qint64(years * kYear)).toString(Qt::ISODate);
        visit.tests.append({1,
                            300,
                            "Static",
                            "passed",
                            visit.performed,
                            {{"DIFF", "", "x", value - years, "mmHg", "passed", {{"X", -3.0, 3.0}}}}});
        visit.visit = QString::number(years);
        database.Store(visit, "v.xml", "archive");
    }
    ASSERT_EQ(
        Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--html", dir.filePath("r.html")}).status, 0);
    QFile html(dir.filePath("r.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    const QString month = at.addSecs(qint64((3.0 - value) * kYear)).toUTC().toString("yyyy-MM");
    EXPECT_TRUE(page.contains("Drift +1.00 mmHg a year; at this rate outside ±3 mmHg by " + month + "."))
        << page.toStdString();
}

// An asset edit archived again is a revision of the one visit; the seals then name a forged visit
// with its checksums recomputed, a deleted one and a reordered pair; a report's printed seal is
// found in the store.
TEST_F(OrvexArchiveTest, TheSealsNameAForgedDeletedOrReorderedVisit) {
    ASSERT_EQ(Orvex({"new", file, "200", "--asset-id", "MON-6"}).status, 0);
    ASSERT_EQ(
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nnext\n")}).status,
        0);
    ASSERT_EQ(Orvex({"asset", file, "--asset-location", "Ward 3"}).status, 0);
    const auto revised = Orvex({"archive", file});
    EXPECT_TRUE(revised.out.contains("new revision")) << revised.out.toStdString();
    const auto revisions = Orvex({"history", "MON-6", "--revisions"});
    EXPECT_EQ(revisions.status, 0) << revisions.err.toStdString();
    EXPECT_TRUE(
        revisions.out.contains(QRegularExpression("revision 2\\t\\S+\\tarchive\\tasset location +-> Ward 3")))
        << revisions.out.toStdString();
    EXPECT_EQ(History("MON-6").size(), 1);
    {
        orvex::HostResultsDatabase database(Database());
        auto visit = orvex::HostResultsDatabase(Database()).History("MON-6").first().record;
        for (int i = 1; i <= 3; ++i) {
            visit.visit = QString("later-%1").arg(i);
            visit.performed = QString("2030-01-0%1T10:00:00Z").arg(i);
            database.Store(visit, file, "archive");
        }
    }
    const auto report =
        Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--html", dir.filePath("r.html")});
    QFile html(dir.filePath("r.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const auto printed =
        QRegularExpression("Seal</b></td><td>([0-9a-f]{4} [0-9a-f]{4} [0-9a-f]{4} [0-9a-f]{4}) \\(revision 2")
            .match(QString::fromUtf8(html.readAll()));
    ASSERT_TRUE(printed.hasMatch());
    // The tests' names in another language are the same visit: the same seal, nothing to store.
    ASSERT_EQ(Orvex({"report", file, "--pdf", dir.filePath("de.pdf"), "--html", dir.filePath("de.html"),
                     "--language", "German"})
                  .status,
              0);
    QFile german(dir.filePath("de.html"));
    ASSERT_TRUE(german.open(QIODevice::ReadOnly));
    EXPECT_TRUE(german.readAll().contains(("Siegel</b></td><td>" + printed.captured(1)).toUtf8()));
    EXPECT_TRUE(Orvex({"archive", file, "--language", "German"}).out.contains("nothing changed"));
    const auto whole = Orvex({"verify", "--seal", printed.captured(1)});
    EXPECT_EQ(whole.status, 0) << whole.out.toStdString();
    EXPECT_TRUE(whole.out.contains("is whole: 5 revisions of 4 visits")) << whole.out.toStdString();
    EXPECT_EQ(Orvex({"verify", "--seal", "0000 0000 0000 0000"}).status, 1);

    // Changes made behind the program's back, each to a copy of the store.
    const auto tampered = [&](const QString& name, const std::function<void(QSqlQuery&)>& change) {
        const QString copy = dir.filePath(name + ".sqlite");
        EXPECT_TRUE(QFile::copy(Database(), copy));
        {
            auto database = QSqlDatabase::addDatabase("QSQLITE", name);
            database.setDatabaseName(copy);
            EXPECT_TRUE(database.open());
            QSqlQuery query(database);
            change(query);
        }
        QSqlDatabase::removeDatabase(name);
        return Orvex({"verify", "--database", copy});
    };
    const auto forged = tampered("forged", [&](QSqlQuery& query) {
        // The forger knows how the checksum is made and makes it again for the changed reading.
        auto visit = orvex::HostResultsDatabase(Database()).History("MON-6").last().record;
        visit.tests[0].readings[0].valueText = "1";
        visit.tests[0].readings[0].value = 1.0;
        EXPECT_TRUE(
            query.exec("UPDATE measurements SET value = 1, value_text = '1' WHERE test = "
                       "(SELECT MIN(id) FROM tests) AND position = 1"));
        for (const char* table : {"visits", "revisions"}) {
            EXPECT_TRUE(query.exec(QString("UPDATE %1 SET content_sha256 = '%2' WHERE content_sha256 = "
                                           "(SELECT content_sha256 FROM revisions WHERE id = 2)")
                                       .arg(table, visit.Checksum())));
        }
    });
    EXPECT_EQ(forged.status, 1);
    EXPECT_TRUE(forged.out.contains("break: revision 2 of visit")) << forged.out.toStdString();
    const auto deleted = tampered("deleted", [](QSqlQuery& query) {
        for (const char* sql :
             {"DELETE FROM measurements WHERE test IN (SELECT t.id FROM tests t JOIN revisions r ON "
              "r.visit = t.visit WHERE r.id = 4)",
              "DELETE FROM tests WHERE visit = (SELECT visit FROM revisions WHERE id = 4)",
              "DELETE FROM visits WHERE id = (SELECT visit FROM revisions WHERE id = 4)",
              "DELETE FROM revisions WHERE id = 4"})
            EXPECT_TRUE(query.exec(sql)) << sql;
    });
    EXPECT_EQ(deleted.status, 1);
    EXPECT_TRUE(deleted.out.contains("break: revision 1 of visit later-3")) << deleted.out.toStdString();
    const auto reordered = tampered("reordered", [](QSqlQuery& query) {
        for (const char* sql :
             {"UPDATE revisions SET id = 100 WHERE id = 3", "UPDATE revisions SET id = 3 WHERE id = 4",
              "UPDATE revisions SET id = 4 WHERE id = 100"})
            EXPECT_TRUE(query.exec(sql)) << sql;
    });
    EXPECT_EQ(reordered.status, 1);
    EXPECT_EQ(reordered.out.count("break: "), 3) << reordered.out.toStdString();

    // A reader on a read-only mount reads the store as it stands, where WAL's shared-memory file
    // cannot be made (the last writer to close took it away).
    { orvex::HostResultsDatabase last(Database()); }
    ASSERT_FALSE(QFile::exists(Database() + "-shm"));
    QProcess mounted;
    mounted.setProcessEnvironment(Environment());
    mounted.start("unshare", {"--user", "--map-root-user", "--mount", "sh", "-c",
                              QStringLiteral("mount --bind \"$0\" \"$0\" && mount -o remount,ro,bind \"$0\" "
                                             "\"$0\" && exec \"$1\" verify --database \"$0/results.sqlite\""),
                              dir.path(), ORVEX_EXECUTABLE});
    ASSERT_TRUE(mounted.waitForFinished(60000));
    const QString said = QString::fromLocal8Bit(mounted.readAllStandardError());
    if (mounted.exitCode() != 0 && (said.startsWith("unshare:") || said.startsWith("mount:")))
        GTEST_SKIP() << "no read-only mount here: " << said.toStdString();
    EXPECT_EQ(mounted.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(mounted.readAllStandardOutput().contains("is whole: 5 revisions"));
}

// A visit finished in a later run is one visit with two revisions; the whole sequence performed
// again from its first test is the asset's next visit.
TEST_F(OrvexArchiveTest, AVisitFinishedLaterIsOneAndARunOfAllAgainTheNext) {
    ASSERT_EQ(Orvex({"new", file, "200", "200", "--asset-id", "MON-2"}).status, 0);
    const auto aborted =
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nnext\nabort\n")});
    EXPECT_EQ(aborted.status, 3) << aborted.err.toStdString();
    for (int visits : {1, 2}) {
        const auto whole = Orvex(QStringList{"run", file} + simulate +
                                 QStringList{"--auto", Script("start\nnext\nstart\nnext\n")});
        EXPECT_EQ(whole.status, 0) << whole.err.toStdString();
        EXPECT_EQ(History("MON-2").size(), visits);
    }
    const QString revisions = Orvex({"history", "MON-2", "--revisions"}).out;
    EXPECT_EQ(revisions.count("  revision 1\t"), 2) << revisions.toStdString();
    EXPECT_EQ(revisions.count("  revision 2\t"), 1) << revisions.toStdString();
    EXPECT_TRUE(revisions.contains("test 2 incomplete -> passed") ||
                revisions.contains("test 2 not-measured -> passed"))
        << revisions.toStdString();
}
