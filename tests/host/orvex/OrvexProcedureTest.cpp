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
