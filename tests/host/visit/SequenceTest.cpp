#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>

#include "host/visit/HostSequence.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/TestElementInfo.h"
#include "support/PlugInFixture.h"
#include "support/Raised.h"

using orvex::HostSequence;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

}  // namespace

using SequenceTest = PlugInFixture;

TEST_F(SequenceTest, SavedLoadedAndSavedAgainIsByteIdentical) {
    HostSequence sequence(plugIn);
    for (const int32_t testId : {300, 200, 401, 300}) sequence.Append(testId);
    sequence.Save(Path("first.xml"));

    HostSequence loaded(plugIn);
    loaded.Load(Path("first.xml"));
    ASSERT_EQ(loaded.Tests().size(), 4);
    EXPECT_EQ(loaded.Tests()[2]->TestID(), 401);
    // Two tests of one template stay two: each is numbered by its place.
    EXPECT_EQ(loaded.Tests()[3]->ID(), 4);
    loaded.Save(Path("second.xml"));
    EXPECT_EQ(ReadAll(Path("first.xml")), ReadAll(Path("second.xml")));
    EXPECT_FALSE(ReadAll(Path("first.xml")).isEmpty());
}

TEST_F(SequenceTest, AResultIsLoadedWithItsTestAndSavedAgainAsItWas) {
    HostSequence sequence(plugIn);
    sequence.Append(300);
    // What a run of the static pressure test leaves.
    Write(Path("run.xml"),
          sequence.ToText().toUtf8().replace(
              "</TestElement>",
              "<ResultItem><Status Value='2'/>"
              "<Measurement Key='STAT'><Description>20370::Pressure</Description>"
              "<Value Type='1' Format='0'>262</Value><Unit>mmHg</Unit><Status Value='2'/></Measurement>"
              "<Measurement Key='MANO'><Description>20374::Korotka Pressure</Description>"
              "<Value Type='1' Format='0'>249.7</Value><Unit>mmHg</Unit><Status Value='1'/></Measurement>"
              "</ResultItem></TestElement>"));
    HostSequence loaded(plugIn);
    loaded.Load(Path("run.xml"));
    const auto result = loaded.Tests()[0]->Result();
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Status(), 2);
    EXPECT_EQ(result->MeasurementCount(), 2);
    loaded.Save(Path("first.xml"));
    HostSequence again(plugIn);
    again.Load(Path("first.xml"));
    again.Save(Path("second.xml"));
    EXPECT_EQ(ReadAll(Path("first.xml")), ReadAll(Path("second.xml")));
    EXPECT_TRUE(ReadAll(Path("second.xml")).contains("249.7"));
}

TEST_F(SequenceTest, BadFilesFailClearlyAndLeaveTheSequenceAsItWas) {
    HostSequence good(plugIn);
    good.Append(300);
    good.Save(Path("good.xml"));
    const QByteArray text = ReadAll(Path("good.xml"));

    const QString deep = "<OrvexSequence>" + QString("<a>").repeated(HostSequence::kMaxFileDepth) +
                         QString("</a>").repeated(HostSequence::kMaxFileDepth) + "</OrvexSequence>";
    const QList<std::pair<QByteArray, QString>> cases{
        {text.left(text.size() / 2), "at offset"},
        {"<Other/>", "not a test sequence"},
        {"<OrvexSequence><Stray/></OrvexSequence>", "\"Stray\" is no TestElement"},
        {"<OrvexSequence><TestElement PlugIn=\"Other\" TestID=\"300\" ID=\"1\"/></OrvexSequence>", "plug-in"},
        {"<OrvexSequence><TestElement PlugIn=\"Korotka\" TestID=\"x\" ID=\"1\"/></OrvexSequence>",
         "no number"},
        {"<OrvexSequence><TestElement PlugIn=\"Korotka\" TestID=\"999\" ID=\"1\"/></OrvexSequence>",
         "test 1"},
        {deep.toUtf8(), "nested deeper"},
    };
    HostSequence sequence(plugIn);
    sequence.Load(Path("good.xml"));
    for (const auto& [content, reason] : cases) {
        Write(Path("bad.xml"), content);
        const auto e = Raised([&] { sequence.Load(Path("bad.xml")); });
        EXPECT_TRUE(e.Description().contains(Path("bad.xml"))) << e.Description().toStdString();
        EXPECT_TRUE(e.Description().contains(reason)) << e.Description().toStdString();
        ASSERT_EQ(sequence.Tests().size(), 1);
    }
    EXPECT_EQ(sequence.ToText(), good.ToText());
    EXPECT_NE(Raised([&] { sequence.Load(Path("missing.xml")); }).Number(), 0);
}

TEST_F(SequenceTest, AFailedSaveLeavesThePreviousFileWhole) {
    HostSequence sequence(plugIn);
    sequence.Append(300);
    sequence.Save(Path("kept.xml"));
    const QByteArray before = ReadAll(Path("kept.xml"));
    // A file-size limit below the new file: the write beside the target fails before the rename.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{static_cast<rlim_t>(before.size()), limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    sequence.Append(200);
    const auto e = Raised([&] { sequence.Save(Path("kept.xml")); });
    ::setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_NE(e.Number(), 0);
    EXPECT_TRUE(e.Description().contains("File too large")) << e.Description().toStdString();
    EXPECT_EQ(ReadAll(Path("kept.xml")), before);
    EXPECT_EQ(QDir(registryDir.path()).entryList({"kept.xml?*"}, QDir::Files | QDir::Hidden), QStringList());
}

// A visit prepared in German and opened in an English window reads in English: the texts are the
// plug-in's, not those the file was made with.
TEST_F(SequenceTest, ATestsTextsAreInTheLanguageOfTheWindowThatOpensIt) {
    HostSequence sequence(plugIn);
    sequence.Append(300);
    sequence.Save(Path("english.xml"));
    QByteArray german = ReadAll(Path("english.xml"));
    const QByteArray name = sequence.Tests()[0]->Info()->Name().toUtf8();
    ASSERT_FALSE(name.isEmpty());
    ASSERT_TRUE(german.contains(name));
    german.replace(name, QString::fromUtf8("Korotka-Prüfung des statischen Drucks").toUtf8());
    german.replace(sequence.Tests()[0]->Info()->Type().toUtf8(), "Statischer Druck");
    Write(Path("german.xml"), german);

    HostSequence loaded(plugIn);
    loaded.Load(Path("german.xml"));
    ASSERT_EQ(loaded.Tests().size(), 1);
    EXPECT_EQ(loaded.Tests()[0]->Info()->Name().toUtf8(), name);
    EXPECT_EQ(loaded.Tests()[0]->Info()->Type(), sequence.Tests()[0]->Info()->Type());
}
