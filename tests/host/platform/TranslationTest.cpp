#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

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
