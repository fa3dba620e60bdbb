#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>
#include <set>

#include "support/HostFixture.h"

using orvex::HostLanguageService;

namespace {

void WriteLanguage(const QTemporaryDir& dir, const QString& language, const QByteArray& content) {
    QFile file(QDir(dir.path()).filePath(language + ".lng"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

using TranslationTest = HostFixture;

TEST_F(TranslationTest, LoadSelectsOneLanguageAndKeepsTheTableWhenAFileIsMissing) {
    QTemporaryDir dir;
    WriteLanguage(dir, "German", "20171=OK (de)\n20172=Abbrechen\n");
    WriteLanguage(dir, "French", "20171=D'accord\n");
    ASSERT_TRUE(language->Load("Korotka", dir.path(), "German"));
    EXPECT_EQ(language->GetText("Korotka", "20172::Cancel", {}), "Abbrechen");

    // Another language replaces the table: nothing of German is left over.
    ASSERT_TRUE(language->Load("Korotka", dir.path(), "French"));
    EXPECT_EQ(language->GetText("Korotka", "20171::OK", {}), "D'accord");
    EXPECT_EQ(language->GetText("Korotka", "20172::Cancel", {}), "Cancel");

    QString error;
    EXPECT_FALSE(language->Load("Korotka", dir.path(), "Klingon", &error));
    EXPECT_TRUE(error.contains("Klingon.lng"));
    EXPECT_EQ(language->GetText("Korotka", "20171::OK", {}), "D'accord");

    // A number the plug-in's table lacks is the host's text (a column the host draws for it);
    // the plug-in's own text comes first.
    ASSERT_TRUE(language->Load(HostLanguageService::kHostTexts, dir.path(), "German"));
    EXPECT_EQ(language->GetText("Korotka", "20172::Cancel", {}), "Abbrechen");
    EXPECT_EQ(language->GetText("Korotka", "20171::OK", {}), "D'accord");

    EXPECT_TRUE(HostLanguageService::IsLiteral("20171::OK"));
    EXPECT_TRUE(HostLanguageService::IsLiteral("1::"));
    EXPECT_FALSE(HostLanguageService::IsLiteral("abc::def"));
    EXPECT_FALSE(HostLanguageService::IsLiteral("::x"));
    EXPECT_FALSE(HostLanguageService::IsLiteral("20171:OK"));
    EXPECT_FALSE(HostLanguageService::IsLiteral("1234567890::too many digits"));
    EXPECT_FALSE(HostLanguageService::IsLiteral(QString::fromUtf8("٢٠١::arabic digits")));
}

TEST_F(TranslationTest, TranslateControlsReplacesEveryLiteralCaptionOfAWidgetTree) {
    QTemporaryDir dir;
    WriteLanguage(dir, "German",
                  "20000=Korotka-Analysator\n20840=Blutdruckeinheit:\n20171=OK\n20172=Abbrechen\n"
                  "20180=mmHg (de)\n20190=Einheiten\n20191=Allgemein\n20192=Hilfe\n20193=Speichern\n");
    ASSERT_TRUE(language->Load("Korotka", dir.path(), "German"));

    QWidget window;
    window.setWindowTitle("20000::Korotka Analyzer");
    auto* layout = new QVBoxLayout(&window);
    auto* group = new QGroupBox("20190::Units");
    auto* label = new QLabel("20840::Blood Pressure Unit:");
    label->setToolTip("20192::Help");
    auto* combo = new QComboBox;
    combo->addItems({"20180::mmHg", "kPa", "20999::Unknown number"});
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(label);
    inner->addWidget(combo);
    auto* tabs = new QTabWidget;
    tabs->addTab(group, "20191::General");
    auto* ok = new QPushButton("20171::OK");
    auto* plain = new QPushButton("Apply 20171::OK");
    auto* save = new QAction("20193::Save", &window);
    window.addAction(save);
    layout->addWidget(tabs);
    layout->addWidget(ok);
    layout->addWidget(plain);

    language->TranslateControls("Korotka", &window);
    EXPECT_EQ(window.windowTitle(), "Korotka-Analysator");
    EXPECT_EQ(group->title(), "Einheiten");
    EXPECT_EQ(label->text(), "Blutdruckeinheit:");
    EXPECT_EQ(label->toolTip(), "Hilfe");
    EXPECT_EQ(combo->itemText(0), "mmHg (de)");
    EXPECT_EQ(combo->itemText(1), "kPa");
    EXPECT_EQ(combo->itemText(2), "Unknown number");
    EXPECT_EQ(tabs->tabText(0), "Allgemein");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_EQ(plain->text(), "Apply 20171::OK");
    EXPECT_EQ(save->text(), "Speichern");

    // A second pass finds no literal any more and changes nothing.
    language->TranslateControls("Korotka", &window);
    EXPECT_EQ(label->text(), "Blutdruckeinheit:");
    language->TranslateControls("Korotka", nullptr);

    QToolBar toolbar;
    QAction* cancel = toolbar.addAction("20172::Cancel");
    cancel->setToolTip("20192::Help");
    auto* button = new QToolButton;
    button->setText("20171::OK");
    toolbar.addWidget(button);
    language->TranslateToolbar("Korotka", &toolbar);
    EXPECT_EQ(cancel->text(), "Abbrechen");
    EXPECT_EQ(cancel->toolTip(), "Hilfe");
    EXPECT_EQ(button->text(), "OK");
}

namespace {

// The numbers of the language literals ("20180::mmHg") written in the files under the folders.
std::set<int> LiteralsIn(const QStringList& paths) {
    static const QRegularExpression literal(QStringLiteral("\"([0-9]{1,9})::"));
    std::set<int> numbers;
    for (const QString& path : paths) {
        QStringList files{path};
        if (QFileInfo(path).isDir()) {
            files.clear();
            QDirIterator it(path, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) files << it.next();
        }
        for (const QString& name : files) {
            QFile file(name);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = literal.globalMatch(text); match.hasNext();)
                numbers.insert(match.next().captured(1).toInt());
        }
    }
    return numbers;
}

std::set<int> NumbersOf(const QString& languageFile) {
    static const QRegularExpression line(QStringLiteral("^([0-9]+)="), QRegularExpression::MultilineOption);
    QFile file(languageFile);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << languageFile.toStdString();
    std::set<int> numbers;
    for (auto match = line.globalMatch(QString::fromUtf8(file.readAll())); match.hasNext();)
        numbers.insert(match.next().captured(1).toInt());
    return numbers;
}

}  // namespace

// A literal missing from a language file shows its English text in the middle of a German window.
TEST(LanguageFiles, EveryLiteralTheCodeAndTheTemplatesUseIsInBothLanguages) {
    const QString root = QStringLiteral(KOROTKA_SOURCE_DIR "/");
    const struct {
        QStringList sources;
        QString folder;
    } owners[] = {
        {{root + "plugin", root + "driver", root + "resources/orvexKorotka.mpc"},
         root + "resources/Language"},
        {{root + "host"}, root + "resources/OrvexLanguage"},
    };
    for (const auto& owner : owners) {
        const std::set<int> used = LiteralsIn(owner.sources);
        ASSERT_GT(used.size(), 20u) << owner.folder.toStdString();
        const std::set<int> english = NumbersOf(owner.folder + "/English.lng");
        for (const QString language : {"German", "English"}) {
            const std::set<int> have = NumbersOf(owner.folder + "/" + language + ".lng");
            std::vector<int> missing;
            std::ranges::set_difference(used, have, std::back_inserter(missing));
            EXPECT_TRUE(missing.empty()) << language.toStdString() << " in " << owner.folder.toStdString()
                                         << " lacks " << testing::PrintToString(missing);
            // Each language has what the other has: neither is a half-translated copy.
            EXPECT_EQ(have, english) << language.toStdString() << " in " << owner.folder.toStdString();
        }
    }
}
