#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <string>

#include "OrvexRunFixture.h"
#include "sim/Simulator.h"

TEST_F(OrvexRunTest, AScriptedStaticPressureTestIsSavedWithTheTypedAndTheGaugeReading) {
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    const auto show = Orvex({"show", file});
    EXPECT_TRUE(show.out.endsWith("\tnot-measured\n")) << show.out.toStdString();

    // A standard that allows the monitor 3 mmHg: 262 mmHg is far from what the gauge reads, so the
    // test fails and the technician goes on anyway.
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
    const QByteArray text = sequence.readAll().replace(
        "</PlugInData>",
        "</PlugInData><ExpectedResult><Standard AlphaName='IEC' CompleteName='IEC 80601' Number='1'>"
        "<Limit Key='DIFF' Unit='mmHg' Type='0'><High Enabled='True'>3</High><Low Enabled='True'>-3</Low>"
        "</Limit></Standard></ExpectedResult>");
    sequence.resize(0);
    sequence.write(text);
    sequence.close();
    const auto run =
        Orvex(QStringList{"run", file} + simulate +
              QStringList{"--auto", Script("start\nreadings 3\ntype STAT 262\nanswer yes\nnext\n")});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();

    const auto shown = Orvex({"show", file});
    const QStringList fields = shown.out.trimmed().split('\t');
    ASSERT_GE(fields.size(), 6) << shown.out.toStdString();
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[2], "failed");
    EXPECT_TRUE(fields.contains("STAT=262 mmHg")) << shown.out.toStdString();
    const double gauge = Number(fields, "MANO");
    EXPECT_GT(gauge, 200.0);
    EXPECT_LT(gauge, 300.0);
    // Shown in whole mmHg, each rounded on its own.
    EXPECT_NEAR(Number(fields, "DIFF"), 262.0 - gauge, 1.0);
}

TEST_F(OrvexRunTest, AScriptThatCannotBeFollowedStopsTheRunAndKeepsTheFile) {
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    // Next stays off while the instrument runs.
    const auto run = Orvex(QStringList{"run", file} + simulate +
                           QStringList{"--auto", Script("start\nnext\n"), "--auto-timeout", "1"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.contains("script line 2: the Next button is not enabled")) << run.err.toStdString();
    EXPECT_EQ(Orvex({"show", file}).status, 0);
}

// With N/A allowed by the guide settings, N/A while the relief or the leak step runs ends the step
// at once: the test is not applicable and nothing the step read is stored with it.
TEST_F(OrvexRunTest, NotApplicableWhileAStepRunsEndsItAndKeepsNoReading) {
    for (const char* test : {"200", "100"}) {
        ASSERT_EQ(Orvex({"new", file, test}).status, 0);
        QFile sequence(file);
        ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
        const QByteArray text = sequence.readAll();
        ASSERT_TRUE(text.contains("<TestGuideSettings Flags=\"0\""));
        sequence.resize(0);
        sequence.write(
            QByteArray(text).replace("<TestGuideSettings Flags=\"0\"", "<TestGuideSettings Flags=\"1\""));
        sequence.close();
        // At the Korotka's own speed: the step would run for many seconds.
        const auto run = Orvex({"run", file, "--simulate", "--auto", Script("start\nna\n")});
        EXPECT_EQ(run.status, 0) << test << ": " << run.err.toStdString();
        const auto shown = Orvex({"show", file});
        EXPECT_EQ(shown.out.trimmed().split('\t').mid(2), QStringList{"not-applicable"})
            << test << ": " << shown.out.toStdString();
    }
}

// Tests once marked not applicable are measured on the next visit, and the new results are stored.
TEST_F(OrvexRunTest, ATestOnceNotApplicableIsMeasuredAgainAndStored) {
    ASSERT_EQ(Orvex({"new", file, "300", "100", "200"}).status, 0);
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
    const QByteArray text = sequence.readAll();
    sequence.resize(0);
    sequence.write(
        QByteArray(text).replace("<TestGuideSettings Flags=\"0\"", "<TestGuideSettings Flags=\"1\""));
    sequence.close();
    ASSERT_EQ(
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("na\nna\nna\n")}).status, 0);
    ASSERT_EQ(Orvex({"show", file}).out.count("not-applicable"), 3);

    const auto run = Orvex(QStringList{"run", file} + simulate +
                           QStringList{"--auto", Script("start\nreadings 3\ntype STAT 251\nnext\n"
                                                        "start\nnext\nstart\nnext\n")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList tests = Orvex({"show", file}).out.trimmed().split('\n');
    ASSERT_EQ(tests.size(), 3);
    EXPECT_TRUE(tests[0].contains("\tpassed\tSTAT=251 mmHg\tMANO=")) << tests[0].toStdString();
    EXPECT_TRUE(tests[1].contains("\tpassed\tRATE=")) << tests[1].toStdString();
    EXPECT_TRUE(tests[2].contains("\tpassed\tPEAK=")) << tests[2].toStdString();
}

// Previous on a test with readings asks first: No stays on the test with them, Yes goes back and
// the test keeps the result it had before the run.
TEST_F(OrvexRunTest, PreviousAsksBeforeReadingsAreDiscarded) {
    ASSERT_EQ(Orvex({"new", file, "300", "300"}).status, 0);
    const auto first = Orvex(QStringList{"run", file} + simulate +
                             QStringList{"--auto", Script("start\nreadings 3\ntype STAT 251\nnext\n"
                                                          "start\nreadings 3\ntype STAT 250\n"
                                                          "previous\nanswer no\nnext\n")});
    EXPECT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.contains("discarded. Go back to the previous test? [no]"))
        << first.err.toStdString();
    const QString kept = Orvex({"show", file}).out;
    EXPECT_TRUE(kept.contains("2\tKorotka Static Pressure Test\tpassed\tSTAT=250 mmHg"))
        << kept.toStdString();

    // Going back without a reading asks nothing and stores nothing.
    const auto second = Orvex(QStringList{"run", file} + simulate +
                              QStringList{"--auto", Script("next\nstart\nreadings 3\ntype STAT 262\n"
                                                           "previous\nanswer yes\nnext\nprevious\n"
                                                           "next\nnext\n")});
    EXPECT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_EQ(second.err.count("Go back to the previous test?"), 1) << second.err.toStdString();
    EXPECT_EQ(Orvex({"show", file}).out, kept);
}

// A Korotka that answers every command at once: the reading loop keeps its pace and the
// technician's clicks and readings get through.
TEST_F(OrvexRunTest, AKorotkaThatAnswersAtOnceIsReadAtAPaceAndTheRunCompletes) {
    korotkasim::SimOptions instant;
    instant.timeScale = 0.0001;
    instant.leakMmHgPerMin = 0.0;
    korotkasim::Simulator sim{instant};
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    const auto run = Orvex({"run", file, "--device", QString::fromStdString(sim.SlavePath()), "--auto",
                            Script("start\nreadings 2\ntype STAT 251\nnext\n")});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList fields = Orvex({"show", file}).out.trimmed().split('\t');
    EXPECT_EQ(fields.value(2), "passed");
    EXPECT_NEAR(Number(fields, "MANO"), 250.0, 1.0);
    // A spinning loop sends thousands a second.
    EXPECT_LT(sim.CommandCount(), 50U);
}

// The technician types as the window's language writes numbers, and the file keeps them with a
// point; a text the box does not take stops the run with the box's own words, nothing stored.
TEST_F(OrvexRunTest, TypedReadingsAreStoredAsMeantOrRefusedAloud) {
    const auto storedStat = [](const QString& path) {
        QFile sequence(path);
        EXPECT_TRUE(sequence.open(QIODevice::ReadOnly));
        static const QRegularExpression value(
            "<Measurement Key=[\"']STAT[\"'](?:(?!</Measurement>).)*?<Value[^>/]*>([^<]*)</Value>",
            QRegularExpression::DotMatchesEverythingOption);
        return value.match(QString::fromUtf8(sequence.readAll())).captured(1);
    };
    ASSERT_EQ(Orvex({"new", file, "300"}).status, 0);
    const auto german = Orvex(QStringList{"run", file, "--language", "German"} + simulate +
                              QStringList{"--auto", Script("start\nreadings 3\ntype STAT 251,5\nnext\n")});
    EXPECT_NE(german.status, 3) << german.err.toStdString();
    EXPECT_EQ(storedStat(file), "251.5");

    const QString other = dir.filePath("slip.xml");
    ASSERT_EQ(Orvex({"new", other, "300"}).status, 0);
    const auto slip = Orvex(QStringList{"run", other} + simulate +
                            QStringList{"--auto", Script("start\nreadings 3\ntype STAT 2.5e2\nnext\n")});
    EXPECT_EQ(slip.status, 3);
    EXPECT_TRUE(slip.err.contains(
        "script line 3: the box refused \"2.5e2\": Not a number. Legal Range: -1000-1000 mmHg"))
        << slip.err.toStdString();
    EXPECT_EQ(storedStat(other), "");
}

TEST_F(OrvexRunTest, UsageAndFileErrorsExitWithTwo) {
    // Qt's notes on the environment are no news to a technician: they show with --verbose only.
    QProcess quiet;
    auto environment = Environment();
    environment.remove("XDG_RUNTIME_DIR");
    quiet.setProcessEnvironment(environment);
    quiet.start(ORVEX_EXECUTABLE, {"new", file, "300"});
    ASSERT_TRUE(quiet.waitForFinished(60000));
    EXPECT_EQ(quiet.exitCode(), 0);
    EXPECT_EQ(quiet.readAllStandardError(), "");
    quiet.start(ORVEX_EXECUTABLE, {"new", file, "300", "--verbose"});
    ASSERT_TRUE(quiet.waitForFinished(60000));
    EXPECT_TRUE(quiet.readAllStandardError().contains("qt: QStandardPaths:"));
    EXPECT_EQ(Orvex({"new", file, "no such test"}).status, 2);
    EXPECT_EQ(Orvex({"show", dir.filePath("missing.xml")}).status, 2);
    EXPECT_EQ(Orvex({"run", file, "--fault", "nak"}).status, 2);
    EXPECT_EQ(Orvex({"run", file, "--device", "/dev/null", "--simulate"}).status, 2);
    const auto unregistered = Orvex({"run", file, "--auto", Script("start\n")});
    EXPECT_EQ(unregistered.status, 2);
    EXPECT_TRUE(unregistered.err.contains("no Korotka is registered")) << unregistered.err.toStdString();
    const auto bad =
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nwait\n")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("script line 2: unknown action")) << bad.err.toStdString();
    EXPECT_EQ(
        Orvex(QStringList{"run", file, "--standard", "NOPE"} + simulate + QStringList{"--auto", Script("")})
            .status,
        2);
}

// Each command takes the options its row names and every command the plug-in's; of two options of
// one name, the one the command takes is read. Without a screen only what shows windows is refused.
TEST_F(OrvexRunTest, EachCommandReadsItsOwnOptions) {
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", "A1", "--language", "English"}).status, 0);
    const auto refused = Orvex({"show", file, "--json", dir.filePath("e.json")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains("orvex show takes no --json")) << refused.err.toStdString();
    EXPECT_EQ(Orvex({"export", file, "--json", dir.filePath("e.json")}).status, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("e.json")));
    // For history --json is a switch: a word after it is an argument too many.
    EXPECT_EQ(Orvex({"history", "A1", "--json"}).status, 0);
    EXPECT_EQ(Orvex({"history", "A1", "--json", "x"}).status, 2);
    EXPECT_EQ(Orvex({"run", file, "--seal", "x"}).status, 2);

    QProcess headless;
    auto environment = Environment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) environment.remove(name);
    headless.setProcessEnvironment(environment);
    headless.start(ORVEX_EXECUTABLE, {"run", file});
    ASSERT_TRUE(headless.waitForFinished(60000));
    EXPECT_EQ(headless.exitCode(), 2);
    EXPECT_TRUE(headless.readAllStandardError().contains("need a display"));
    headless.start(ORVEX_EXECUTABLE, {"show", file});
    ASSERT_TRUE(headless.waitForFinished(60000));
    EXPECT_EQ(headless.exitCode(), 0);
}

// A service visit as a technician does it from the shell: the shipped limits, a report to hand over
// and an export for the maintenance database.
class OrvexVisitTest : public OrvexRunTest {
protected:
    // The text of a PDF page by page (form feeds between pages), or why it could not be read.
    static QString Tool(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            ADD_FAILURE() << program.toStdString()
                          << " failed: " << process.readAllStandardError().toStdString();
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static int Pages(const QString& pdf) {
        const QString info = Tool("pdfinfo", {pdf});
        const auto match = QRegularExpression("Pages:\\s+(\\d+)").match(info);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    }
    QJsonArray Exported() {
        const QString json = dir.filePath("visit.json");
        EXPECT_EQ(Orvex({"export", file, "--json", json}).status, 0);
        QFile in(json);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return document.array();
    }
};

TEST_F(OrvexVisitTest, AFourTestVisitIsJudgedByTheShippedLimitsReportedAndExported) {
    // Texts with the report markup's separators and HTML in them must come out as typed.
    const QString assetId = "NIBP-7|ward;{B}";
    const QString technician = "Dana <Ko> \\ \"Smith\", jr.";
    ASSERT_EQ(
        Orvex({"new", file, "300", "100", "200", "401", "--asset-id", assetId, "--technician", technician})
            .status,
        0);
    ASSERT_EQ(Orvex({"asset", file, "--asset-make-model", "Acme M3", "--asset-location", "Ward 4"}).status,
              0);
    const auto run =
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", QStringLiteral(MAIN_JOB_SCRIPT)});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();

    const QJsonArray tests = Exported();
    ASSERT_EQ(tests.size(), 4);
    const QStringList ids{"300", "100", "200", "401"};
    for (qsizetype i = 0; i < tests.size(); ++i) {
        const QJsonObject test = tests[i].toObject();
        EXPECT_EQ(test["position"].toInt(), i + 1);
        EXPECT_EQ(QString::number(test["testId"].toInt()), ids[i]);
        EXPECT_EQ(test["status"].toString(), "passed") << test["name"].toString().toStdString();
        EXPECT_FALSE(test["performed"].toString().isEmpty());
        EXPECT_FALSE(test["configuration"].toArray().isEmpty());
        EXPECT_EQ(test["instrument"].toObject()["name"].toString(), "Korotka");
        EXPECT_EQ(test["asset"].toObject()["id"].toString(), assetId);
        EXPECT_EQ(test["asset"].toObject()["location"].toString(), "Ward 4");
        EXPECT_EQ(test["technician"].toString(), technician);
    }
    // The heart rate's limits follow its preset: 5 % either side.
    for (const auto& value : tests[3].toObject()["measurements"].toArray()) {
        const QJsonObject measurement = value.toObject();
        if (measurement["key"].toString() != "HART") continue;
        const QJsonObject limits = measurement["limits"].toArray().at(0).toObject();
        const double preset = measurement["preset"].toDouble();
        EXPECT_EQ(limits["standard"].toString(), "NIBP-10");
        EXPECT_NEAR(limits["high"].toDouble(), preset * 1.05, 0.01);
        EXPECT_NEAR(limits["low"].toDouble(), preset * 0.95, 0.01);
    }

    const QString csv = dir.filePath("visit.csv");
    ASSERT_EQ(Orvex({"export", file, "--csv", csv}).status, 0);
    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    const QString rows = QString::fromUtf8(csvFile.readAll());
    // A header and a row per measurement: 3 static, 1 leak, 2 over-pressure, 4 blood-pressure.
    EXPECT_EQ(rows.count("\r\n"), 11) << rows.toStdString();
    EXPECT_TRUE(rows.contains(",\"Dana <Ko> \\ \"\"Smith\"\", jr.\",,,,,,,,,\r\n")) << rows.toStdString();

    const QString pdf = dir.filePath("visit.pdf");
    const QString html = dir.filePath("visit.html");
    ASSERT_EQ(Orvex({"report", file, "--pdf", pdf, "--html", html, "--page", "letter"}).status, 0);
    EXPECT_GE(Pages(pdf), 2);
    EXPECT_TRUE(Tool("pdfinfo", {pdf}).contains("612 x 792 pts")) << "Letter paper";
    const QString text = Tool("pdftotext", {"-layout", pdf, "-"});
    for (const QString& expected :
         {QString("Overall verdict"), QString("PASSED"), assetId, QString("Acme M3"), QString("Dana <Ko>"),
          QString("Static pressure within ±3 mmHg"), QString("Relief valve, adult"), QString("NIBP-10"),
          QString("Korotka Leak Test"), QString("Page 1 of"), QString("within")}) {
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << " not in\n" << text.toStdString();
    }
    EXPECT_FALSE(text.contains("outside"));
    QFile htmlFile(html);
    ASSERT_TRUE(htmlFile.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(htmlFile.readAll());
    EXPECT_TRUE(page.contains("Dana &lt;Ko&gt;"));
    EXPECT_TRUE(page.contains("data:image/png;base64,"));

    // A page for a reviewer to look at.
    const QString artifacts = QCoreApplication::applicationDirPath() + "/../artifacts/";
    ASSERT_TRUE(QDir().mkpath(artifacts));
    Tool("pdftoppm", {"-png", "-r", "60", "-f", "1", "-l", "1", pdf, artifacts + "orvex_report_page"});
    QFile::remove(artifacts + "orvex_report.pdf");
    QFile::copy(pdf, artifacts + "orvex_report.pdf");
}

TEST_F(OrvexVisitTest, AReliefValveAboveTheNeonatalLimitFailsAndTheReportSaysSo) {
    ASSERT_EQ(Orvex({"new", file, "200", "--patient", "neonate"}).status, 0);
    const auto run = Orvex(QStringList{"run", file} + simulate +
                           QStringList{"--auto", Script("start\nanswer yes\nnext\n")});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QJsonArray tests = Exported();
    ASSERT_EQ(tests.size(), 1);
    EXPECT_EQ(tests[0].toObject()["status"].toString(), "failed");

    const QString pdf = dir.filePath("neonate.pdf");
    ASSERT_EQ(Orvex({"report", file, "--pdf", pdf}).status, 0);
    const QString text = Tool("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("FAILED"));
    EXPECT_TRUE(text.contains("Relief valve, neonate: at most 165 mmHg"));
    EXPECT_TRUE(text.contains("outside"));
}

TEST_F(OrvexVisitTest, AssetFieldsAreCheckedAndKeptAcrossCommands) {
    ASSERT_EQ(Orvex({"new", file, "300", "--technician", "Kim"}).status, 0);
    // A field longer than a form has room for is refused and the file stays as it was.
    const auto tooLong = Orvex({"asset", file, "--asset-serial", QString(201, 'x')});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_TRUE(tooLong.err.contains("longer than 200")) << tooLong.err.toStdString();
    ASSERT_EQ(Orvex({"asset", file, "--asset-serial", "SN 1"}).status, 0);
    const QJsonObject test = Exported().at(0).toObject();
    EXPECT_EQ(test["technician"].toString(), "Kim");
    EXPECT_EQ(test["asset"].toObject()["serialNo"].toString(), "SN 1");

    // Bytes that are not UTF-8 are refused, on the command line and in a file: "MON-\xff" and
    // "MON-\xfe" would both read as one asset.
    QProcess shell;
    shell.setProcessEnvironment(Environment());
    shell.start("sh", {"-c", "exec \"$0\" asset \"$1\" --asset-id \"$(printf 'MON-\\377')\"",
                       ORVEX_EXECUTABLE, file});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_TRUE(shell.readAllStandardError().contains("the value of --asset-id is not UTF-8 text"));
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
    const QByteArray text = sequence.readAll();
    ASSERT_TRUE(text.contains("SerialNo=\"SN 1\""));
    sequence.resize(0);
    sequence.write(QByteArray(text).replace("SerialNo=\"SN 1\"", "SerialNo=\"SN \xfe\""));
    sequence.close();
    const auto unreadable = Orvex({"show", file});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_TRUE(unreadable.err.contains("element \"Asset\" holds text that is not UTF-8"))
        << unreadable.err.toStdString();

    EXPECT_EQ(Orvex({"new", file, "300", "--patient", "child"}).status, 2);
    EXPECT_EQ(Orvex({"show", file, "--technician", "Kim"}).status, 2);
    EXPECT_EQ(Orvex({"report", file}).status, 2);
    EXPECT_EQ(Orvex({"report", file, "--pdf", dir.filePath("r.pdf"), "--page", "a3"}).status, 2);
    EXPECT_EQ(Orvex({"export", file}).status, 2);
    EXPECT_EQ(Orvex({"report", file, "--pdf", dir.filePath("no/such/folder/r.pdf")}).status, 2);
}

// In PSI and kPa the shipped sets judge as in mmHg, converted without rounding: a reading far from
// the gauge fails, a blood-pressure reading far from its preset fails, and the leak limit is
// 6 mmHg/min exactly. A test that no limit judges is never called passed.
TEST_F(OrvexVisitTest, EveryUnitJudgesAndATestNoLimitJudgesIsNotPassed) {
    QFile registry(dir.filePath("Registry.ini"));
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly));
    registry.write(
        "[HKEY_LOCAL_MACHINE]\nSoftware\\Marrick\\Orvex\\Korotka\\PressureUnit=4\n"
        "Software\\Marrick\\Orvex\\Korotka\\BPUnit=1\n");
    registry.close();
    const auto made = Orvex({"new", file, "300", "100", "401"});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_FALSE(made.err.contains("left out")) << made.err.toStdString();
    const auto run =
        Orvex(QStringList{"run", file} + simulate +
              QStringList{"--auto", Script("start\nreadings 3\ntype STAT 9.50\nanswer yes\nnext\n"
                                           "start\nnext\n"
                                           "start\ntype SYST 20.0\ntype DIAS 10.7\ntype HART 80\n"
                                           "type MAPR 12.4\nanswer yes\nnext\n")});
    EXPECT_EQ(run.status, 1) << run.err.toStdString();
    const QJsonArray tests = Exported();
    ASSERT_EQ(tests.size(), 3);
    EXPECT_EQ(tests[0].toObject()["status"].toString(), "failed");
    EXPECT_EQ(tests[2].toObject()["status"].toString(), "failed");
    const QJsonObject rate = tests[1].toObject()["measurements"].toArray().at(0).toObject();
    EXPECT_EQ(rate["unit"].toString(), "PSI/min");
    EXPECT_NEAR(rate["limits"].toArray().at(0).toObject()["high"].toDouble(), 6.0 / 51.7149, 1e-5);
    // The simulator's cuff loses 2 mmHg/min, well within the limit.
    EXPECT_EQ(tests[1].toObject()["status"].toString(), "passed");

    // A leak test made in PSI stays in PSI when the default unit changes: it drives the Korotka in
    // PSI from 150 mmHg and stores its rate in PSI/min.
    ASSERT_TRUE(registry.open(QIODevice::WriteOnly | QIODevice::Truncate));
    registry.write("[HKEY_LOCAL_MACHINE]\nSoftware\\Marrick\\Orvex\\Korotka\\PressureUnit=0\n");
    registry.close();
    ASSERT_EQ(Orvex({"new", file, "100"}).status, 0);
    QFile leak(file);
    ASSERT_TRUE(leak.open(QIODevice::ReadWrite));
    const QByteArray record = leak.readAll();
    leak.resize(0);
    // As the limit editor leaves it after switching the test to PSI.
    leak.write(QByteArray(record)
                   .replace("<StartPressure Unit=\"0\">150</StartPressure>",
                            "<StartPressure Unit=\"4\">2.9</StartPressure>")
                   .replace("mmHg/min", "PSI/min")
                   .replace("<High Enabled=\"True\">6</High>", "<High Enabled=\"True\">0.116022</High>"));
    leak.close();
    const auto kept = Orvex(QStringList{"run", file, "--verbose"} + simulate +
                            QStringList{"--auto", Script("start\nnext\n")});
    EXPECT_EQ(kept.status, 0) << kept.err.toStdString();
    EXPECT_TRUE(kept.err.contains("sent [PRESS_UNITS_PSI]")) << kept.err.toStdString();
    EXPECT_TRUE(kept.err.contains("sent [LEAK,150]")) << kept.err.toStdString();
    EXPECT_TRUE(Orvex({"show", file}).out.contains(" PSI/min")) << Orvex({"show", file}).out.toStdString();

    // Without limit sets nothing judges the leak test: it is not passed, and neither is the visit.
    ASSERT_EQ(Orvex({"new", file, "100"}).status, 0);
    QFile sequence(file);
    ASSERT_TRUE(sequence.open(QIODevice::ReadWrite));
    QString text = QString::fromUtf8(sequence.readAll());
    text.remove(QRegularExpression("<ExpectedResult>.*</ExpectedResult>",
                                   QRegularExpression::DotMatchesEverythingOption));
    sequence.resize(0);
    sequence.write(text.toUtf8());
    sequence.close();
    const auto unjudged =
        Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script("start\nnext\n")});
    EXPECT_EQ(unjudged.status, 3) << unjudged.err.toStdString();
    EXPECT_TRUE(unjudged.err.contains("is not judged")) << unjudged.err.toStdString();
    EXPECT_TRUE(Orvex({"show", file}).out.contains("\tnot-judged\t"))
        << Orvex({"show", file}).out.toStdString();
    EXPECT_EQ(Exported().at(0).toObject()["status"].toString(), "not-judged");
}
