#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "host/archive/HostResultsDatabase.h"
#include "host/archive/HostRunEnd.h"
#include "host/visit/HostVisitSaver.h"
#include "support/PlugInFixture.h"

using orvex::HostRun;
using orvex::HostRunEnd;
using Kind = HostRunEnd::Notice::Kind;

// What a run ends in, decided once for the command line and the window: its class, what the
// technician is told, and the visit archived from where its results are, or why not.
class RunEndTest : public PlugInFixture {
protected:
    // Tests of these statuses, performed, of an asset.
    orvex::HostSequence Performed(const std::vector<int>& statuses) {
        auto sequence = WithStatuses(statuses);
        QString text = sequence.ToText();
        text.replace("<TestElement ", "<TestElement Performed=\"2026-12-09T10:00:00Z\" ");
        QFile file(Path("performed.xml"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        file.close();
        sequence.Load(file.fileName());
        sequence.SetAsset({"MON-1", {}, {}, {}});
        return sequence;
    }
    // The run's end after the sequence was saved by a saver of file.
    HostRunEnd End(const orvex::HostSequence& sequence, const QString& file, HostRun::Outcome outcome = {}) {
        orvex::HostVisitSaver saver(file);
        saver.Save(sequence);
        HostRunEnd::Options options;
        options.database = database;
        options.command = "run";
        return HostRunEnd::Close(sequence, outcome, saver, options);
    }
    static QList<Kind> Kinds(const HostRunEnd& end) {
        QList<Kind> kinds;
        for (const auto& notice : end.notices) kinds << notice.kind;
        return kinds;
    }

    QTemporaryDir folder;
    QString database = folder.filePath("results.sqlite");
};

TEST_F(RunEndTest, TheClassAndTheArchiveFollowTheResultsWhereTheyAre) {
    const auto passed = End(Performed({1, 3}), Path("a.xml"));
    EXPECT_EQ(passed.exit, HostRunEnd::Exit::Passed);
    EXPECT_TRUE(passed.notices.isEmpty());
    EXPECT_TRUE(passed.archived);
    EXPECT_EQ(End(Performed({1, 2}), Path("b.xml")).exit, HostRunEnd::Exit::Failed);
    HostRun::Outcome aborted;
    aborted.outcome = orvex::HostSequence::Outcome::Aborted;
    const auto stopped = End(Performed({1}), Path("c.xml"), aborted);
    EXPECT_EQ(stopped.exit, HostRunEnd::Exit::Incomplete);
    EXPECT_EQ(Kinds(stopped), QList<Kind>{Kind::Aborted});
    EXPECT_TRUE(stopped.archived) << "what was performed is kept";

    // A save that fails keeps the results in the recovery file and archives the visit from there.
    QFile blocker(Path("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto unsaved = End(Performed({1}), Path("blocker/d.xml"));
    EXPECT_EQ(unsaved.exit, HostRunEnd::Exit::NotSaved);
    ASSERT_EQ(Kinds(unsaved), QList<Kind>{Kind::NotSaved});
    EXPECT_TRUE(unsaved.notices[0].file.endsWith(".xml")) << unsaved.notices[0].file.toStdString();
    EXPECT_TRUE(unsaved.archived);
    EXPECT_EQ(orvex::HostResultsDatabase(database).History("MON-1", 0).size(), 4);

    // Kept nowhere: both presenters say why the visit was not archived.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", Path("blocker").toUtf8());
    const auto lost = End(Performed({1}), Path("blocker/e.xml"));
    qputenv("XDG_STATE_HOME", state);
    EXPECT_EQ(Kinds(lost), (QList<Kind>{Kind::NotSaved, Kind::NotArchived}));
    EXPECT_TRUE(lost.notices[0].file.isEmpty());
    EXPECT_FALSE(lost.archived);

    database = Path("blocker/x.sqlite");
    const auto noDatabase = End(Performed({1}), Path("f.xml"));
    EXPECT_EQ(noDatabase.exit, HostRunEnd::Exit::Passed) << "the run stands";
    ASSERT_EQ(Kinds(noDatabase), QList<Kind>{Kind::NotArchived});
    EXPECT_EQ(noDatabase.notices[0].file, Path("f.xml")) << "orvex archive takes it from there later";
}
