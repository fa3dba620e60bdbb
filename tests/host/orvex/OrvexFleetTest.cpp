#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "OrvexFleetFixture.h"

// The whole store asked what is due and what is drifting, as orvex due and orvex drift answer.

TEST_F(OrvexFleetTest, DueListsTheOverdueAssetFirstAndDriftGivesTheHandComputedDate) {
    const QDate today = QDateTime::currentDateTimeUtc().date();
    StoreDrifting();
    // Tested 50 days ago every two months: due in about ten days. Tested yesterday: not due.
    for (int i = 0; i < 3; ++i) Store("MON-5", today.addDays(-50 - 400 * i), 0.5, 2.0);
    Store("MON-9", today.addDays(-1), 0.0, 1.0);
    Close();
    ASSERT_EQ(Orvex({"asset", "MON-5", "--interval", "2"}).status, 0);

    const auto due = Orvex({"due"});
    ASSERT_EQ(due.status, 0) << due.err.toStdString();
    const QStringList lines = due.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << due.out.toStdString();
    EXPECT_EQ(lines[0].split('\t'),
              QStringList({"MON-17", "Maker M3", "Ward 4", "2024-06-01T09:00:00Z", "PASSED", "whole",
                           "2025-06-01", QString::number(today.daysTo(QDate(2025, 6, 1)))}));
    const QDate five = today.addDays(-50).addMonths(2);
    EXPECT_TRUE(lines[1].startsWith("MON-5\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(five.toString(Qt::ISODate) + "\t" + QString::number(today.daysTo(five))))
        << lines[1].toStdString();
    const QJsonArray dueJson =
        QJsonDocument::fromJson(Orvex({"due", "--json", "--within", "0"}).out.toUtf8()).array();
    ASSERT_EQ(dueJson.size(), 1);
    EXPECT_EQ(dueJson[0].toObject()["intervalMonths"].toInt(), 12);
    EXPECT_LT(dueJson[0].toObject()["daysLeft"].toInt(), 0);
    // Set through MON-9's sequence file, which the interval alone leaves as it is.
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "MON-9"}).status, 0);
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadOnly));
    const QByteArray before = sequence.readAll();
    sequence.close();
    ASSERT_EQ(Orvex({"asset", file, "--interval", "24"}).status, 0);
    ASSERT_TRUE(sequence.open(QIODevice::ReadOnly));
    EXPECT_EQ(sequence.readAll(), before);
    const QJsonArray all =
        QJsonDocument::fromJson(Orvex({"due", "--json", "--within", "800"}).out.toUtf8()).array();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[2].toObject()["assetId"].toString(), "MON-9");
    EXPECT_EQ(all[2].toObject()["due"].toString(), today.addDays(-1).addMonths(24).toString(Qt::ISODate));
    EXPECT_EQ(Orvex({"asset", "MON-9", "--asset-location", "Ward 1"}).status, 2);
    EXPECT_EQ(Orvex({"due", "--within", "soon"}).status, 2);
    EXPECT_EQ(Orvex({"asset", "MON-5", "--interval", "0"}).status, 2);

    const auto drift = Orvex({"drift"});
    ASSERT_EQ(drift.status, 0) << drift.err.toStdString();
    const QStringList driftLines = drift.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(driftLines.size(), 1) << drift.out.toStdString();
    EXPECT_EQ(driftLines[0].section('\t', 0, 4),
              "MON-17\tMaker M3\tStatic\tDIFF\t+0.98 mmHg a year; at this rate outside ±3 mmHg by 2025-06");
    const QJsonObject json =
        QJsonDocument::fromJson(Orvex({"drift", "--json"}).out.toUtf8()).array().first().toObject();
    EXPECT_TRUE(json["leaves"].toString().startsWith("2025-06-19"))
        << json["leaves"].toString().toStdString();
    EXPECT_EQ(json["high"].toDouble(), 3.0);

    // The department's page: overdue first, with its drift, and nothing fetched from elsewhere.
    ASSERT_EQ(Orvex({"fleet", "--html", dir.filePath("fleet.html")}).status, 0);
    QFile page(dir.filePath("fleet.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const qsizetype overdue = html.indexOf("<tr class=\"overdue\"><td data-sort=\"MON-17\">");
    EXPECT_GT(overdue, 0);
    EXPECT_LT(overdue, html.indexOf("MON-5</td>"));
    EXPECT_GT(html.indexOf("MON-9</td>"), html.indexOf("MON-5</td>"));
    EXPECT_TRUE(html.contains("Static DIFF: +0.98 mmHg a year; at this rate outside ±3 mmHg by 2025-06"));
    for (const char* external : {"src=", "href=", "http", "@import", "url("})
        EXPECT_FALSE(html.contains(external)) << external;
    EXPECT_EQ(Orvex({"fleet"}).status, 2);

    const auto history = Orvex({"history", "MON-17", "--trend", "DIFF"});
    EXPECT_EQ(history.out.split('\n', Qt::SkipEmptyParts).size(), 4);
    EXPECT_TRUE(history.err.contains("drift: +0.98 mmHg a year; at this rate outside ±3 mmHg by 2025-06"))
        << history.err.toStdString();
}
