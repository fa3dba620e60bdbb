#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>

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
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "MON-17", "--technician", "Kim"}).status, 0);
    // 262 fails the 3 mmHg limit: the technician says yes to going on.
    for (const char* typed : {"251\n", "262.5\nanswer yes\n"}) {
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
    const QJsonArray edited = History("MON-17");
    ASSERT_EQ(edited.size(), 2);
    EXPECT_TRUE(edited[0].toObject()["altered"].toBool());
    EXPECT_FALSE(edited[1].toObject()["altered"].toBool());
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
    ASSERT_EQ(History("MON-5").size(), 13);
    QFile database(Database());
    ASSERT_TRUE(database.open(QIODevice::ReadWrite));
    // A page of the readings, the last ones written, turned to garbage.
    ASSERT_TRUE(database.seek(database.size() - 2 * 4096 + 16));
    database.write(QByteArray(400, '\x5a'));
    database.close();
    const auto damaged = Orvex({"history", "MON-5"});
    EXPECT_EQ(damaged.status, 2) << damaged.out.toStdString();
    EXPECT_TRUE(damaged.err.contains("malformed")) << damaged.err.toStdString();
    EXPECT_FALSE(damaged.out.contains("altered"));

    QFile empty(dir.filePath("empty.sqlite"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const auto refused = Orvex({"archive", file, "--database", empty.fileName()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains("the file is empty")) << refused.err.toStdString();
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
            visit.performed = (i < 55 ? QDateTime(QDate(2020, 1, 1), QTime(10, 0), Qt::UTC).addSecs(3600 * i)
                                      : QDateTime(QDate(2030, 1, 1 + i - 55), QTime(10, 0), Qt::UTC))
                                  .toString(Qt::ISODate);
            visit.tests.append(
                {1,
                 300,
                 "Static",
                 "passed",
                 visit.performed,
                 {{i < 55 ? "DIFF" : "STAT", "", "1", 1.0, "mmHg", "passed", {{"X", -3.0, 3.0}}}}});
            database.Store(visit, "v.xml");
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
              60);
    for (const char* wrong : {"-1", "ten"})
        EXPECT_EQ(Orvex({"history", "MON-8", "--limit", wrong}).status, 2) << wrong;

    // The three of the run, then the newest earlier one; the later ones have no DIFF.
    const QStringList trend =
        Orvex({"history", "MON-8", "--trend", "DIFF", "--limit", "4"}).out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(trend.size(), 4);
    const QString run = trend[0].section('\t', 0, 0);
    EXPECT_FALSE(run.startsWith("2020-") || run.startsWith("2030-")) << run.toStdString();
    EXPECT_EQ(trend[2].section('\t', 0, 0), run);
    EXPECT_TRUE(trend[3].startsWith("2020-01-03T16:00:00Z")) << trend[3].toStdString();

    // The run's visits are performed with it, not before: the trend is the earlier ones' newest
    // nine and the run's own reading.
    ASSERT_EQ(
        Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--html", dir.filePath("r.html")}).status, 0);
    QFile html(dir.filePath("r.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString since = QDateTime(QDate(2020, 1, 1), QTime(10, 0), Qt::UTC)
                              .addSecs(3600 * 46)
                              .toLocalTime()
                              .toString("yyyy-MM-dd HH:mm");
    EXPECT_TRUE(html.readAll().contains(("Over the last 10 visits, since " + since).toUtf8()));
}
