#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "host/visit/HostScript.h"
#include "support/Raised.h"

using orvex::HostScript;
using Kind = HostScript::Action::Kind;

TEST(ScriptTest, EveryActionReadsWithTheNumberOfItsLine) {
    const auto script = HostScript::Parse(
        "# a static pressure test\n"
        "start\n"
        "\n"
        "  readings   3  # then Stop\n"
        "type STAT 251.5\r\n"
        "answer yes\n"
        "answer no\n"
        "next\nprevious\nabort\nskip\nna\nclose\nstop\nrest\n");
    const auto& actions = script.Actions();
    ASSERT_EQ(actions.size(), 13);
    EXPECT_EQ(actions[0].kind, Kind::Start);
    EXPECT_EQ(actions[0].line, 2);
    EXPECT_EQ(actions[1].kind, Kind::Readings);
    EXPECT_EQ(actions[1].line, 4);
    EXPECT_EQ(actions[1].readings, 3);
    EXPECT_EQ(actions[2].kind, Kind::Type);
    EXPECT_EQ(actions[2].key, "STAT");
    EXPECT_EQ(actions[2].value, "251.5");
    EXPECT_EQ(actions[3].kind, Kind::AnswerYes);
    EXPECT_EQ(actions[4].kind, Kind::AnswerNo);
    EXPECT_EQ(actions[10].kind, Kind::Close);
    EXPECT_EQ(actions[10].line, 13);
    EXPECT_EQ(actions[11].kind, Kind::Stop);
    EXPECT_EQ(actions[12].kind, Kind::Rest);
    EXPECT_EQ(script.EndLine(), 16);
    EXPECT_TRUE(HostScript::Parse("").Actions().isEmpty());
}

TEST(ScriptTest, ABadLineIsNamedWithWhatIsWrong) {
    const QList<std::pair<QString, QString>> cases{
        {"start\n\nstart now", "script line 3: expected \"start\""},
        {"readings 0", "script line 1: \"0\" is no count of readings"},
        {"readings many", "script line 1: \"many\" is no count"},
        {"readings 99999999999", "is no count"},
        {"type STAT", "script line 1: expected \"type KEY VALUE\""},
        {"type ST-AT 1", "\"ST-AT\" is no measurement key"},
        {"type STAT " + QString(40, '1'), "a value of more than 32 characters"},
        {"# fine\nanswer maybe", "script line 2: an answer is \"yes\" or \"no\""},
        {"Start", "script line 1: unknown action \"Start\""},
    };
    for (const auto& [text, expected] : cases) {
        const auto e = Raised([&] { HostScript::Parse(text); });
        EXPECT_EQ(e.Number(), HostScript::kErrBadScript);
        EXPECT_TRUE(e.Description().contains(expected)) << e.Description().toStdString();
    }
}

TEST(ScriptTest, AFileThatIsNoScriptTextIsRefused) {
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& data) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
        return file.fileName();
    };
    EXPECT_EQ(HostScript::Load(write("ok.txt", "start\nnext\n")).Actions().size(), 2);
    for (const auto& [path, reason] : QList<std::pair<QString, QString>>{
             {dir.filePath("missing.txt"), "missing.txt"},
             {write("latin1.txt", "type STAT 25\xb0\n"), "not UTF-8"},
             {write("big.txt", QByteArray(HostScript::kMaxFileSize + 1, '#')), "larger"},
             {dir.path(), dir.path()}}) {
        const auto e = Raised([&] { HostScript::Load(path); });
        EXPECT_TRUE(e.Description().contains(reason)) << e.Description().toStdString();
    }
}
