#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "OrvexRunFixture.h"

namespace {

const QString kSource = QStringLiteral(KOROTKA_SOURCE_DIR);

QJsonArray ReadJson(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll()).array();
}

QStringList Lines(const QString& out, const QString& first) {
    QStringList lines;
    for (const QString& line : out.split('\n')) {
        if (line.startsWith(first + '\t')) lines << line;
    }
    return lines;
}

}  // namespace

struct ShippedProcedure {
    const char* name;
    const char* script;
    QStringList options;
    int tests;
    int groups;
    int staticPoints;
};

// Named in the runner's list by its procedure alone.
void PrintTo(const ShippedProcedure& procedure, std::ostream* out) { *out << procedure.name; }

// One test per procedure, so that the runner performs them beside the other tests.
class ShippedProcedureTest : public OrvexRunTest, public ::testing::WithParamInterface<ShippedProcedure> {};

INSTANTIATE_TEST_SUITE_P(
    Shipped, ShippedProcedureTest,
    ::testing::Values(ShippedProcedure{"adult_nibp", "adult-procedure.txt", {}, 17, 3, 6},
                      ShippedProcedure{
                          "neonatal_nibp", "neonatal-procedure.txt", {"--relief", "150"}, 15, 3, 4},
                      ShippedProcedure{"quick_check", "quick-procedure.txt", {}, 3, 0, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A shipped procedure as the technician performs it: made, run against the simulator with a
// script, shown, reported and exported, its repeats grouped and its static points together.
TEST_P(ShippedProcedureTest, IsPerformedHeadlessAndItsRecordsCarryItsGroups) {
    const auto listed = Orvex({"procedures"});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    const ShippedProcedure& procedure = GetParam();
    // The files are named with hyphens; a test's name cannot hold one.
    const QString name = QString(procedure.name).replace('_', '-');
    EXPECT_TRUE(listed.out.contains(name)) << listed.out.toStdString();
    const QString visit = dir.filePath(name + ".xml");
    ASSERT_EQ(Orvex({"new", visit, "--procedure", name, "--asset-id", "MON-1"}).status, 0);
    const auto run = Orvex(QStringList{"run", visit} + simulate + procedure.options +
                           QStringList{"--auto", kSource + "/scripts/" + procedure.script});
    EXPECT_EQ(run.status, 0) << run.out.toStdString() << run.err.toStdString();

    const auto show = Orvex({"show", visit});
    QStringList tests;
    for (int position = 1; position <= procedure.tests; ++position)
        tests << Lines(show.out, QString::number(position));
    EXPECT_EQ(tests.size(), procedure.tests) << show.out.toStdString();
    EXPECT_EQ(tests.filter("\tpassed\t").size(), procedure.tests) << show.out.toStdString();
    const QStringList repeats = Lines(show.out, "repeats");
    EXPECT_EQ(repeats.size(), procedure.groups) << show.out.toStdString();
    for (const QString& group : repeats) EXPECT_TRUE(group.contains("SYST n=3 mean=")) << group.toStdString();

    const QString json = dir.filePath(name + ".json");
    ASSERT_EQ(Orvex({"export", visit, "--json", json}).status, 0);
    int points = 0;
    int grouped = 0;
    for (const auto& value : ReadJson(json)) {
        const QJsonObject test = value.toObject();
        EXPECT_FALSE(test["procedure"].toObject()["name"].toString().isEmpty());
        if (!test["static"].isNull()) ++points;
        if (!test["repeats"].isNull()) ++grouped;
    }
    EXPECT_EQ(points, procedure.staticPoints);
    EXPECT_EQ(grouped, procedure.groups * 3);

    const QString html = dir.filePath(name + ".html");
    ASSERT_EQ(Orvex({"report", visit, "--pdf", dir.filePath("report.pdf"), "--html", html}).status, 0);
    QFile report(html);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    EXPECT_TRUE(text.contains("Static accuracy")) << name.toStdString();
    EXPECT_EQ(text.contains("Repeated readings"), procedure.groups > 0);
}

// A procedure that allows the diastolic readings of its repeats 1.5 mmHg: 79, 81 and 80 spread 2,
// so the visit fails though every reading passed its own limit; the systolic 4 mmHg holds.
TEST_F(OrvexRunTest, ASpreadPastTheProceduresLimitFailsTheVisit) {
    QFile shipped(kSource + "/resources/procedures/quick-check.xml");
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    QByteArray text = shipped.readAll();
    const qsizetype lastStep = text.lastIndexOf("<Step>");
    ASSERT_GT(lastStep, 0);
    text.replace(lastStep, 6, "<Step Repeat=\"3\">");
    text.replace(text.indexOf("<Step>"), 0,
                 "<SpreadLimits><SpreadLimit TestID=\"401\" Key=\"SYST\" Range=\"4\" Unit=\"mmHg\"/>"
                 "<SpreadLimit TestID=\"401\" Key=\"DIAS\" Range=\"1.5\" Unit=\"mmHg\"/></SpreadLimits>");
    const QString procedure = dir.filePath("spread.xml");
    QFile written(procedure);
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(text);
    written.close();

    ASSERT_EQ(Orvex({"new", file, "--procedure", procedure}).status, 0);
    QByteArray script = "start\nreadings 3\ntype STAT 151\nnext\nstart\nnext\n";
    for (const char* readings : {"121\ntype DIAS 79", "120\ntype DIAS 81", "122\ntype DIAS 80"})
        script += QByteArray("start\ntype SYST ") + readings + "\ntype HART 80\ntype MAPR 93\nnext\n";
    const auto run = Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script(script)});
    EXPECT_EQ(run.status, 1) << run.out.toStdString() << run.err.toStdString();

    const QStringList repeats = Lines(Orvex({"show", file}).out, "repeats");
    ASSERT_EQ(repeats.size(), 1);
    EXPECT_TRUE(repeats[0].startsWith("repeats\t3,4,5\t")) << repeats[0].toStdString();
    EXPECT_TRUE(repeats[0].contains("SYST n=3 mean=121.0 sd=1.00 range=2.0 mmHg limit=4.0 passed"))
        << repeats[0].toStdString();
    EXPECT_TRUE(repeats[0].contains("DIAS n=3 mean=80.0 sd=1.00 range=2.0 mmHg limit=1.5 failed"))
        << repeats[0].toStdString();

    const QString json = dir.filePath("spread.json");
    ASSERT_EQ(Orvex({"export", file, "--json", json}).status, 0);
    const QJsonArray spreads = ReadJson(json)[2].toObject()["repeats"].toObject()["spread"].toArray();
    ASSERT_EQ(spreads.size(), 4);
    EXPECT_EQ(spreads[1].toObject()["key"].toString(), "DIAS");
    EXPECT_DOUBLE_EQ(spreads[1].toObject()["rangeLimit"].toDouble(), 1.5);
    EXPECT_EQ(spreads[1].toObject()["status"].toString(), "failed");
    EXPECT_TRUE(spreads[2].toObject()["rangeLimit"].isNull());
}

// A procedure that says its visits are six months apart gives its asset that interval when a visit
// made from it is stored, until someone sets the asset's interval by hand; an interval that is no
// whole number of months is refused, naming the file.
TEST_F(OrvexRunTest, AProceduresIntervalBecomesItsAssetsUntilOneIsSetByHand) {
    QFile shipped(kSource + "/resources/procedures/quick-check.xml");
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray text = shipped.readAll();
    ASSERT_FALSE(text.contains("Interval="));
    const auto procedure = [&](const QByteArray& interval) {
        QString path = dir.filePath("every-" + QString::fromLatin1(interval.toHex()) + ".xml");
        QFile written(path);
        EXPECT_TRUE(written.open(QIODevice::WriteOnly));
        written.write(
            QByteArray(text).replace("<OrvexProcedure ", "<OrvexProcedure Interval=\"" + interval + "\" "));
        return path;
    };
    const auto months = [&] {
        const auto due = Orvex({"due", "--json", "--within", "1000"});
        for (const auto& asset : QJsonDocument::fromJson(due.out.toUtf8()).array()) {
            if (asset.toObject()["assetId"].toString() == "MON-6")
                return asset.toObject()["intervalMonths"].toInt();
        }
        ADD_FAILURE() << due.out.toStdString() << due.err.toStdString();
        return 0;
    };
    const QString six = procedure("6");
    const QStringList run =
        QStringList{"run", file} + simulate + QStringList{"--auto", kSource + "/scripts/quick-procedure.txt"};
    ASSERT_EQ(Orvex({"new", file, "--procedure", six, "--asset-id", "MON-6"}).status, 0);
    const auto first = Orvex(run);
    ASSERT_EQ(first.status, 0) << first.out.toStdString() << first.err.toStdString();
    EXPECT_EQ(months(), 6);

    // The file run again from its first test is the next visit, stored too; the hand's 9 holds.
    ASSERT_EQ(Orvex({"asset", "MON-6", "--interval", "9"}).status, 0);
    const auto second = Orvex(run);
    ASSERT_EQ(second.status, 0) << second.out.toStdString() << second.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(Orvex({"history", "MON-6", "--json"}).out.toUtf8()).array().size(), 2);
    EXPECT_EQ(months(), 9);

    for (const QByteArray& bad : {QByteArray("0"), QByteArray("601"), QByteArray("6.5"), QByteArray("six")}) {
        const QString path = procedure(bad);
        const auto refused = Orvex({"new", dir.filePath("bad.xml"), "--procedure", path});
        EXPECT_NE(refused.status, 0) << bad.toStdString();
        EXPECT_TRUE(refused.err.contains(path) &&
                    refused.err.contains("Interval \"" + bad + "\" is no whole"))
            << refused.err.toStdString();
    }
    // A visit file whose interval was edited into something else is refused as well.
    QFile visit(file);
    ASSERT_TRUE(visit.open(QIODevice::ReadOnly));
    QByteArray saved = visit.readAll();
    visit.close();
    ASSERT_TRUE(saved.contains("ProcedureInterval=\"6\""));
    ASSERT_TRUE(visit.open(QIODevice::WriteOnly | QIODevice::Truncate));
    visit.write(saved.replace("ProcedureInterval=\"6\"", "ProcedureInterval=\"-6\""));
    visit.close();
    const auto show = Orvex({"show", file});
    EXPECT_NE(show.status, 0);
    EXPECT_TRUE(show.err.contains("ProcedureInterval \"-6\"")) << show.err.toStdString();
}
