#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryFile>
#include <QThread>

#include "OrvexRunFixture.h"

// What a run leaves on disk when the process dies or the disk refuses it, and what an export puts
// in front of a spreadsheet.
class OrvexRecordsTest : public OrvexRunTest {
protected:
    QByteArray Read(const QString& path) {
        QFile in(path);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << path.toStdString();
        return in.readAll();
    }
    QStringList Statuses(const QString& sequence) {
        QStringList statuses;
        for (const QString& line : Orvex({"show", sequence}).out.split('\n', Qt::SkipEmptyParts))
            statuses << line.section('\t', 2, 2);
        return statuses;
    }
    QStringList Recovered() {
        QStringList files;
        for (const QString& name : QDir(dir.filePath("state/orvex")).entryList(QDir::Files))
            files << dir.filePath("state/orvex/" + name);
        return files;
    }
    QStringList TemporaryFiles(const QString& folder) {
        return QDir(folder).entryList({"*.xml.*"}, QDir::Files | QDir::Hidden | QDir::System);
    }

    // Static pressure and relief valve, the technician's part of each.
    const QByteArray twoTests = "start\nreadings 3\ntype STAT 251\nnext\nstart\nnext\n";
};

// Killed while the fourth test runs (its technician waits for readings that do not come), the
// file holds the three finished results.
TEST_F(OrvexRecordsTest, AVisitKilledInItsFourthTestKeepsTheFirstThree) {
    ASSERT_EQ(Orvex({"new", file, "300", "100", "200", "401"}).status, 0);
    QProcess run;
    run.setProcessEnvironment(Environment());
    run.start(ORVEX_EXECUTABLE, QStringList{"run", file} + simulate +
                                    QStringList{"--auto",
                                                Script("start\nreadings 3\ntype STAT 251\nnext\n"
                                                       "start\nnext\nstart\nnext\nstart\nreadings 1000\n"),
                                                "--auto-timeout", "600"});
    ASSERT_TRUE(run.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    while (Read(file).count("Performed=") < 3 && run.state() == QProcess::Running && clock.elapsed() < 120000)
        QThread::msleep(20);
    ASSERT_EQ(run.state(), QProcess::Running) << run.readAllStandardError().toStdString();
    run.kill();
    ASSERT_TRUE(run.waitForFinished());
    EXPECT_EQ(Statuses(file), (QStringList{"passed", "passed", "passed", "not-measured"}));
}

// A full file system: the old file stays whole, no temporary file is left, and the results are in
// the recovery file the technician is told of.
TEST_F(OrvexRecordsTest, AFullDiskKeepsTheOldFileAndTheResultsInTheRecoveryFile) {
    ASSERT_EQ(Orvex({"new", file, "300", "200"}).status, 0);
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    // A small file system of its own, mounted in a namespace of this run only, then filled.
    const QString shell = QStringLiteral(
        "mount -t tmpfs -o size=256k tmpfs \"$1\" || exit 99\n"
        "cp \"$2\" \"$1/visit.xml\" && (cat /dev/zero > \"$1/filler\" 2>/dev/null; true)\n"
        "\"$3\" run \"$1/visit.xml\" --simulate --time-scale 0.05 --auto \"$4\"\n"
        "echo \"status=$?\"; ls -a \"$1\"; cp \"$1/visit.xml\" \"$2.after\"\n");
    QProcess run;
    run.setProcessEnvironment(Environment());
    const QStringList arguments{"-c", shell, "sh", disk, file, ORVEX_EXECUTABLE, Script(twoTests)};
    for (const QStringList& unshare :
         {QStringList{"--mount"}, QStringList{"--user", "--map-root-user", "--mount"}}) {
        run.start("unshare", unshare + QStringList{"sh"} + arguments);
        ASSERT_TRUE(run.waitForFinished(120000));
        if (run.exitCode() != 99 && run.exitStatus() == QProcess::NormalExit) break;
    }
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    if (!out.contains("status="))
        GTEST_SKIP() << "no file system could be mounted here: " << err.toStdString();
    EXPECT_TRUE(out.contains("status=2")) << out.toStdString() << err.toStdString();
    EXPECT_FALSE(out.contains("visit.xml.")) << out.toStdString();
    EXPECT_EQ(Read(file + ".after"), Read(file)) << "the old file is whole";
    const QStringList recovered = Recovered();
    ASSERT_EQ(recovered.size(), 1);
    EXPECT_TRUE(err.contains("No space left on device")) << err.toStdString();
    EXPECT_TRUE(err.contains(disk + "/visit.xml")) << err.toStdString();
    EXPECT_TRUE(err.contains("the results of the run are kept in " + recovered[0])) << err.toStdString();
    EXPECT_EQ(Statuses(recovered[0]), (QStringList{"passed", "passed"}));
}

// Under a file-size limit the kernel would kill the process: a write error instead, the old file
// whole, the temporary file gone; the state folder is past the limit too, and the technician is
// told that the results are nowhere.
TEST_F(OrvexRecordsTest, AFileSizeLimitIsAWriteErrorThatLeavesTheOldFile) {
    ASSERT_EQ(Orvex({"new", file, "300", "200"}).status, 0);
    const QByteArray before = Read(file);
    QProcess run;
    run.setProcessEnvironment(Environment());
    const rlim_t limit = before.size() + 512;
    run.setChildProcessModifier([limit] {
        const rlimit size{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &size);
    });
    run.start(ORVEX_EXECUTABLE,
              QStringList{"run", file} + simulate + QStringList{"--auto", Script(twoTests)});
    ASSERT_TRUE(run.waitForFinished(120000));
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << "no SIGXFSZ";
    EXPECT_EQ(run.exitCode(), 2) << err.toStdString();
    EXPECT_TRUE(err.contains("the results of the run could not be kept anywhere")) << err.toStdString();
    EXPECT_EQ(Read(file), before);
    EXPECT_EQ(TemporaryFiles(dir.path()), QStringList());
    for (const QString& recovered : Recovered())
        EXPECT_FALSE(recovered.endsWith(".tmp")) << recovered.toStdString();
}

// A link is followed and stays a link, a 0600 file stays 0600, a stale NAME.tmp link leads nowhere;
// a file the user may not write is refused and its visit archived from the recovery file.
TEST_F(OrvexRecordsTest, ASequenceFileIsWrittenAsAnEditorWritesIt) {
    const QStringList run = simulate + QStringList{"--auto", Script(twoTests)};
    const QString target = dir.filePath("visit.xml");
    const QString victim = dir.filePath("victim.txt");
    ASSERT_EQ(Orvex({"new", target, "300", "200", "--asset-id", "MON-7"}).status, 0);
    ASSERT_TRUE(QFile::link(target, file) && QFile::link(victim, file + ".tmp"));
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_EQ(Orvex(QStringList{"run", file} + run).status, 0);
    EXPECT_EQ(QFileInfo(file).symLinkTarget(), target);
    EXPECT_EQ(Statuses(target), (QStringList{"passed", "passed"}));
    EXPECT_FALSE(QFileInfo(target).permissions().testAnyFlags(QFile::ReadGroup | QFile::ReadOther));
    EXPECT_FALSE(QFile::exists(victim));

    // Root may write anything; in a user namespace of its own it owns no file here.
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner));
    const QByteArray before = Read(target);
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start("unshare", QStringList{"--user", ORVEX_EXECUTABLE, "run", file} + run);
    ASSERT_TRUE(process.waitForFinished(120000));
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (err.startsWith("unshare:")) GTEST_SKIP() << "no user namespace here: " << err.toStdString();
    EXPECT_EQ(process.exitCode(), 2) << err.toStdString();
    EXPECT_TRUE(err.contains(file + ": Permission denied")) << err.toStdString();
    EXPECT_EQ(Read(target), before);
    ASSERT_EQ(Recovered().size(), 1);
    const Outcome history = Orvex({"history", "MON-7"});
    EXPECT_TRUE(history.out.contains("PASSED\t" + Recovered()[0]))
        << (history.out + history.err).toStdString();
}

// A save cut off between its write and its rename leaves its temporary file beside the sequence.
// A run tells of the newest that loads and leaves it; one cut short, an older one, a link and
// another name are not told of, and nothing is removed.
TEST_F(OrvexRecordsTest, ARunTellsOfWhatACrashedSaveLeft) {
    ASSERT_EQ(Orvex({"new", file, "300", "200"}).status, 0);
    const QByteArray sequence = Read(file);
    const auto leave = [&](const QString& path, const QByteArray& content, int seconds) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.flush());
        ASSERT_TRUE(out.setFileTime(QDateTime::currentDateTime().addSecs(seconds),
                                    QFileDevice::FileModificationTime));
    };
    // Named by the writer's own class of temporary files, as a crashed save names it.
    QTemporaryFile written(file);
    written.setAutoRemove(false);
    ASSERT_TRUE(written.open());
    const QString whole = written.fileName();
    written.close();
    leave(whole, sequence, 60);
    const QString cut = file + ".QrStUv";
    leave(cut, sequence.left(sequence.size() / 2), 120);
    leave(file + ".AbCdEg", sequence, -60);
    leave(file + ".AbCd1f", sequence, 180);
    ASSERT_TRUE(QFile::link(whole, file + ".LinkXy"));

    const Outcome run = Orvex(QStringList{"run", file} + simulate + QStringList{"--auto", Script(twoTests)});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList told = run.err.split('\n').filter("may hold newer results");
    ASSERT_EQ(told.size(), 1) << run.err.toStdString();
    EXPECT_TRUE(told[0].contains(whole + ", left by a save of " + file)) << told[0].toStdString();
    EXPECT_TRUE(
        run.err.contains(cut + ", left by a save of " + file + " that did not end, is kept where it is"))
        << run.err.toStdString();
    EXPECT_EQ(TemporaryFiles(dir.path()).size(), 5);
}

// A text that a spreadsheet would run is exported as text; numbers keep the digits they were read
// with.
TEST_F(OrvexRecordsTest, ExportsAreSafeToOpenAndKeepTheNumbersAsRead) {
    const QString formula = "=HYPERLINK(\"http://x\",\"y\")";
    ASSERT_EQ(Orvex({"new", file, "300", "--asset-id", formula, "--asset-make-model", "+1 cuff",
                     "--asset-location", "@ward", "--technician", "-3"})
                  .status,
              0);
    ASSERT_EQ(Orvex(QStringList{"run", file} + simulate +
                    QStringList{"--auto", Script("start\nreadings 3\ntype STAT 249.9\nnext\n")})
                  .status,
              0);
    const QString csv = dir.filePath("visit.csv");
    const QString json = dir.filePath("visit.json");
    ASSERT_EQ(Orvex({"export", file, "--csv", csv, "--json", json}).status, 0);
    const QList<QByteArray> rows = Read(csv).split('\n');
    ASSERT_GE(rows.size(), 2);
    const QByteArray& row = rows[1];
    EXPECT_TRUE(row.contains(",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",'+1 cuff,,'@ward,"))
        << row.toStdString();
    // A number is no formula, whatever its sign.
    EXPECT_TRUE(row.endsWith(",-3,,,,,,,,250,mmHg\r")) << row.toStdString();
    EXPECT_TRUE(Read(csv).contains(",STAT,")) << "rows: " << Read(csv).toStdString();
    EXPECT_TRUE(Read(csv).contains(",249.9,")) << Read(csv).toStdString();
    EXPECT_FALSE(Read(csv).contains("249.899")) << Read(csv).toStdString();

    const QByteArray text = Read(json);
    EXPECT_FALSE(text.contains("249.899")) << text.toStdString();
    const QJsonObject test = QJsonDocument::fromJson(text).array().at(0).toObject();
    EXPECT_EQ(test["asset"].toObject()["id"].toString(), formula) << "JSON keeps the text as it is";
    bool found = false;
    for (const auto& value : test["measurements"].toArray()) {
        const QJsonObject measurement = value.toObject();
        if (measurement["key"].toString() != "STAT") continue;
        found = true;
        EXPECT_EQ(measurement["value"].toDouble(), 249.9);
    }
    EXPECT_TRUE(found) << text.toStdString();
}
