#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "host/controls/HostXHelpText.h"
#include "host/controls/HostXTestGuideSettings.h"
#include "host/controls/HostXTestWizard.h"
#include "host/controls/HostXTgContentPane.h"
#include "host/controls/HostXTgStatusIndicator.h"
#include "host/controls/HostXTgToolbar.h"
#include "host/records/HostTestElementInfo.h"
#include "host/records/HostTestGuideSettings.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XTgButton.h"
#include "hostapi/XTgProgressBar.h"
#include "hostapi/XTgStatusIndicator.h"
#include "support/HostFixture.h"
#include "support/Raised.h"
#include "support/TestElementStub.h"

using orvex::Variant;
using orvex::VariantArray;

namespace {

using HostControlsTest = HostFixture;

template <class T>
std::shared_ptr<T> Create(const char* name) {
    return orvex::ComponentRegistry::Instance().CreateAs<T>(QString::fromLatin1(name));
}

Variant Steps(std::vector<Variant> values) { return Variant(VariantArray::FromList(std::move(values))); }

std::vector<int> Marked(const orvex::HostXTestWizard& wizard) {
    std::vector<int> marked;
    for (int step = 1; step <= wizard.List()->count(); ++step) {
        if (wizard.IsMarked(step)) marked.push_back(step);
    }
    return marked;
}

// A view the pane can hold: a widget that is a component object.
class FakeView : public QWidget, public orvex::IUnknown {};
class NoWidget : public orvex::IUnknown {};

TEST_F(HostControlsTest, StepListLoadsMarksAndClearsSteps) {
    const auto wizard = std::dynamic_pointer_cast<orvex::HostXTestWizard>(
        Create<orvex::XTestWizard>("OrvexView.XTestWizard"));
    ASSERT_TRUE(wizard);
    EXPECT_EQ(wizard->hWnd(), wizard.get());

    wizard->LoadSteps(Steps({"1. Attach", "2. Power on", Variant::Null(), "4. Wait"}));
    ASSERT_EQ(wizard->List()->count(), 4);
    EXPECT_EQ(wizard->List()->item(1)->text(), "2. Power on");
    EXPECT_EQ(wizard->List()->item(2)->text(), "");

    // Numbers from 1; outside numbers and non-numbers mark nothing; a new list replaces the marks.
    wizard->MarkSteps(Steps({int32_t(1), int32_t(2), int32_t(0), int32_t(9), "x", Variant::Null()}));
    EXPECT_EQ(Marked(*wizard), (std::vector<int>{1, 2}));
    EXPECT_TRUE(wizard->List()->item(0)->font().bold());
    wizard->MarkSteps(Variant(int32_t(4)));
    EXPECT_EQ(Marked(*wizard), (std::vector<int>{4}));
    EXPECT_FALSE(wizard->List()->item(0)->font().bold());
    wizard->MarkSteps(Steps({int32_t(0)}));
    EXPECT_TRUE(Marked(*wizard).empty());

    wizard->MarkSteps(Steps({int32_t(3)}));
    wizard->ClearMarks(false);
    EXPECT_TRUE(Marked(*wizard).empty());
    wizard->MarkSteps(Steps({int32_t(3)}));
    wizard->ClearMarks(true);
    EXPECT_TRUE(Marked(*wizard).empty());

    // What is no array of texts leaves an empty list, and marking it does nothing.
    wizard->LoadSteps(Variant("one step"));
    EXPECT_EQ(wizard->List()->count(), 0);
    wizard->LoadSteps(Variant(VariantArray(0, 1, 0, 1)));
    EXPECT_EQ(wizard->List()->count(), 0);
    wizard->MarkSteps(Steps({int32_t(1)}));
    EXPECT_TRUE(Marked(*wizard).empty());
}

TEST_F(HostControlsTest, SettingsEditorEditsTheBoundFlagsInPlaceAndReportsUserEdits) {
    const auto editor = std::dynamic_pointer_cast<orvex::HostXTestGuideSettings>(
        Create<orvex::XTestGuideSettings>("OrvexView.XTestGuideSettings"));
    ASSERT_TRUE(editor);
    int changes = 0;
    editor->SetChangeHandler([&changes] { ++changes; });
    EXPECT_FALSE(editor->NotApplicableBox()->isEnabled());

    const auto settings = std::make_shared<orvex::HostTestGuideSettings>();
    settings->SetFlags(orvex::TestGuideSettings::kSkipAllowed);
    editor->SetSettings(settings);
    EXPECT_EQ(editor->Settings(), settings);
    EXPECT_FALSE(editor->NotApplicableBox()->isChecked());
    EXPECT_TRUE(editor->SkipBox()->isChecked());
    EXPECT_EQ(changes, 0);

    editor->NotApplicableBox()->click();
    EXPECT_EQ(settings->Flags(), 3);
    editor->SkipBox()->click();
    EXPECT_EQ(settings->Flags(), orvex::TestGuideSettings::kNotApplicableAllowed);
    EXPECT_EQ(changes, 2);

    // A throwing listener does not undo the edit.
    editor->SetChangeHandler([] { throw std::runtime_error("listener"); });
    editor->NotApplicableBox()->click();
    EXPECT_EQ(settings->Flags(), 0);

    editor->SetSettings(nullptr);
    EXPECT_FALSE(editor->SkipBox()->isEnabled());
    EXPECT_FALSE(editor->SkipBox()->isChecked());
}

TEST_F(HostControlsTest, HelpTextShowsItsTextAsPlainText) {
    const auto help =
        std::dynamic_pointer_cast<orvex::HostXHelpText>(Create<orvex::XHelpText>("OrvexView.XHelpText"));
    ASSERT_TRUE(help);
    help->SetText("<b>Select</b> the units & restart.");
    EXPECT_EQ(help->Text(), "<b>Select</b> the units & restart.");
    EXPECT_EQ(help->Label()->textFormat(), Qt::PlainText);
}

TEST_F(HostControlsTest, ContentPaneHoldsItsViewsAndGivesThemBack) {
    auto details = std::make_shared<FakeView>();
    auto result = std::make_shared<FakeView>();
    {
        const auto pane = std::dynamic_pointer_cast<orvex::HostXTgContentPane>(
            Create<orvex::XTgContentPane>("OrvexTGCL2.XTgContentPane"));
        ASSERT_TRUE(pane);
        pane->SetResultView(result);
        pane->SetDetailsView(details);
        EXPECT_EQ(pane->DetailsView(), details);
        EXPECT_EQ(pane->ResultView(), result);
        EXPECT_EQ(details->parentWidget(), pane.get());
        auto* layout = static_cast<QVBoxLayout*>(pane->layout());
        EXPECT_LT(layout->indexOf(details.get()), layout->indexOf(result.get()));

        EXPECT_EQ(Raised([&] { pane->SetResultView(std::make_shared<NoWidget>()); }).Number(), 13);
        EXPECT_EQ(pane->ResultView(), result);

        QWidget guide;
        guide.setWindowTitle("Static Pressure Test");
        pane->SetTestGuide(&guide);
        pane->SetTestElement(nullptr, nullptr);
        EXPECT_EQ(pane->TitleLabel()->text(), "Static Pressure Test");

        // A replaced view is given back at once.
        auto other = std::make_shared<FakeView>();
        pane->SetDetailsView(other);
        EXPECT_EQ(details->parentWidget(), nullptr);
    }
    // The pane is gone; the views its holder shared live on.
    EXPECT_EQ(result->parentWidget(), nullptr);
    result->show();
}

TEST_F(HostControlsTest, ToolbarLooksUpItsButtonsAndReportsClicks) {
    const auto toolbar =
        std::dynamic_pointer_cast<orvex::HostXTgToolbar>(Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar"));
    ASSERT_TRUE(toolbar);
    for (const int32_t number : {101, 102, 103, 201, 202, 301, 302, 401, 402, 501}) {
        EXPECT_EQ(toolbar->Buttons(number)->Number(), number);
    }
    EXPECT_EQ(Raised([&] { toolbar->Buttons(104); }).Number(), 9);
    EXPECT_EQ(Raised([&] { toolbar->Buttons(-1); }).Number(), 9);

    std::vector<std::pair<int32_t, bool>> clicks;
    toolbar->SetClickHandler([&clicks](const std::shared_ptr<orvex::XTgButton>& button, bool flag) {
        clicks.emplace_back(button->Number(), flag);
    });
    auto* next = dynamic_cast<QToolButton*>(toolbar->Buttons(orvex::XTgToolbar::kNext).get());
    ASSERT_NE(next, nullptr);
    next->click();
    toolbar->GoOnShortcut()->activated();
    EXPECT_EQ(clicks, (std::vector<std::pair<int32_t, bool>>{{orvex::XTgToolbar::kNext, false},
                                                             {orvex::XTgToolbar::kStart, true}}));

    // The latched state is the caller's: a click does not change it.
    const auto start = toolbar->Buttons(orvex::XTgToolbar::kStart);
    start->SetPressed(true);
    dynamic_cast<QToolButton*>(start.get())->click();
    EXPECT_TRUE(start->Pressed());
    start->SetPressed(false);
    dynamic_cast<QToolButton*>(start.get())->click();
    EXPECT_FALSE(start->Pressed());

    // Hidden or disabled Start: the go-on key does nothing.
    clicks.clear();
    start->SetEnabled(false);
    toolbar->GoOnShortcut()->activated();
    EXPECT_TRUE(clicks.empty());

    // Set-up shows groups and indicators by bit; the context menu offers what can be clicked.
    toolbar->Setup(7, 3);
    EXPECT_TRUE(toolbar->Buttons(orvex::XTgToolbar::kSkip)->Visible());
    EXPECT_FALSE(toolbar->Buttons(orvex::XTgToolbar::kHelp)->Visible());
    EXPECT_FALSE(toolbar->Buttons(orvex::XTgToolbar::kInformation)->Visible());
    toolbar->Buttons(orvex::XTgToolbar::kInformation)->SetVisible(true);
    EXPECT_TRUE(toolbar->Buttons(orvex::XTgToolbar::kInformation)->Visible());
    toolbar->ShowContextMenu();
    QStringList offered;
    for (QAction* action : toolbar->ContextMenu()->actions()) offered << action->text();
    EXPECT_EQ(offered, (QStringList{"Abort", "Previous", "Next", "Stop", "Skip", "N/A", "Info"}));
    toolbar->ContextMenu()->actions().at(1)->trigger();
    EXPECT_EQ(clicks, (std::vector<std::pair<int32_t, bool>>{{orvex::XTgToolbar::kPrevious, false}}));
    toolbar->ContextMenu()->hide();

    // A listener that throws does not take the bar down.
    toolbar->SetClickHandler(
        [](const std::shared_ptr<orvex::XTgButton>&, bool) { throw std::runtime_error("x"); });
    next->click();
}

TEST_F(HostControlsTest, ToolbarIndicatorsShowStatusTextAndProgress) {
    std::shared_ptr<orvex::XTgProgressBar> progress;
    std::shared_ptr<orvex::XTgStatusIndicator> status;
    {
        const auto toolbar = Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar");
        progress = toolbar->ProgressBar();
        status = toolbar->StatusIndicator();
        EXPECT_EQ(toolbar->ProgressBar(), progress);

        EXPECT_FALSE(progress->ShowBar());
        progress->SetShowBar(true);
        progress->SetShowPercent(true);
        EXPECT_TRUE(progress->ShowBar() && progress->ShowPercent());
        progress->SetValue(250);
        EXPECT_EQ(progress->Value(), 100);
        progress->SetValue(-3);
        EXPECT_EQ(progress->Value(), 0);
        progress->SetValue(42);
        EXPECT_EQ(progress->Value(), 42);

        status->SetStatus(2);
        EXPECT_EQ(status->Status(), 2);
        status->SetStatus(17);
        EXPECT_EQ(status->Status(), 0);
        status->SetText("Ready");
        EXPECT_EQ(status->Text(), "Ready");
        status->SetTexts("AAMI", "AAMI SP10");
        EXPECT_EQ(status->Text(), "AAMI\nAAMI SP10");
    }
    // The bar is gone; what its holder kept still works.
    progress->SetValue(7);
    EXPECT_EQ(progress->Value(), 7);
    status->SetStatus(1);
}

// Info tells what the test is: its kind, what it measures and its description.
TEST_F(HostControlsTest, InfoShowsTheTestsDescription) {
    QWidget guide;
    const auto toolbar = Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar");
    toolbar->hWnd()->setParent(&guide);
    // Before any test is handed over, Info has nothing to tell.
    dynamic_cast<QToolButton*>(toolbar->Buttons(orvex::XTgToolbar::kInformation).get())->click();
    EXPECT_EQ(guide.findChild<QMessageBox*>(QStringLiteral("msgTestInformation")), nullptr);

    class Described : public TestElementStub {
    public:
        Described() : TestElementStub(100) {
            info->SetType(QStringLiteral("Leak Test"), QStringLiteral("Cuff and hose leak rate"));
            info->SetDescription(QStringLiteral("Inflates the cuff and measures the pressure drop."));
            info->SetName(QStringLiteral("Korotka Leak Test"));
        }
        std::shared_ptr<orvex::TestElementInfo> Info() override { return info; }
        std::shared_ptr<orvex::HostTestElementInfo> info = std::make_shared<orvex::HostTestElementInfo>();
    };
    const auto element = std::make_shared<Described>();
    toolbar->SetTestElement(element, nullptr);
    dynamic_cast<QToolButton*>(toolbar->Buttons(orvex::XTgToolbar::kInformation).get())->click();
    const auto* box = guide.findChild<QMessageBox*>(QStringLiteral("msgTestInformation"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Korotka Leak Test"));
    EXPECT_EQ(box->text(),
              QStringLiteral("Leak Test: Cuff and hose leak rate\n\nInflates the cuff and measures "
                             "the pressure drop."));
}

TEST_F(HostControlsTest, RendersToolbarAndStepListForReview) {
    QWidget window;
    window.resize(900, 320);
    const auto toolbar = Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar");
    const auto wizard = Create<orvex::XTestWizard>("OrvexView.XTestWizard");
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(toolbar->hWnd());
    layout->addWidget(wizard->hWnd(), 1);

    toolbar->Setup(7, 3);
    toolbar->Buttons(orvex::XTgToolbar::kInformation)->SetVisible(true);
    toolbar->Buttons(orvex::XTgToolbar::kStop)->SetEnabled(false);
    toolbar->Buttons(orvex::XTgToolbar::kStart)->SetPressed(true);
    toolbar->StatusIndicator()->SetStatus(1);
    toolbar->StatusIndicator()->SetText("Inflating");
    toolbar->ProgressBar()->SetShowBar(true);
    toolbar->ProgressBar()->SetShowPercent(true);
    toolbar->ProgressBar()->SetValue(60);
    wizard->LoadSteps(Steps({"1. Attach the cuff and the blood pressure unit to the Korotka.",
                             "2. Click start to run the simulation.",
                             "3. Wait for the Korotka to become ready.", "4. Start the blood pressure unit.",
                             "5. Record the values reported by the blood pressure unit."}));
    wizard->MarkSteps(Steps({int32_t(4), int32_t(5)}));

    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QPixmap picture = window.grab();
    EXPECT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(folder + QStringLiteral("host_toolbar_and_steps.png")));
}

}  // namespace

// A German technician's guide window and question boxes: the host's captions and Qt's own
// buttons in German, and English again when English is chosen.
TEST_F(HostControlsTest, TheChosenLanguageReachesTheHostsCaptionsAndQtsOwnButtons) {
    const QLocale saved;
    EXPECT_EQ(environment->ChooseLanguage(QStringLiteral("German")), QStringList());
    const auto toolbar = Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar");
    const auto caption = [&toolbar](int32_t number) {
        return dynamic_cast<QToolButton*>(toolbar->Buttons(number).get())->text();
    };
    EXPECT_EQ(caption(103), QStringLiteral("Weiter"));
    // One word for a test marked not applicable: its button, and its verdict in the bar.
    EXPECT_EQ(caption(302), QStringLiteral("Nicht anwendbar"));
    toolbar->StatusIndicator()->SetStatus(3);
    EXPECT_EQ(std::dynamic_pointer_cast<orvex::HostXTgStatusIndicator>(toolbar->StatusIndicator())
                  ->VerdictLabel()
                  ->text(),
              QStringLiteral("nicht anwendbar"));
    orvex::HostXTestGuideSettings settings;
    EXPECT_EQ(settings.findChildren<QCheckBox*>().at(1)->text(),
              QStringLiteral("Test darf übersprungen werden"));
    QMessageBox question(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Ja"));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral(",")) << "numbers as the language writes them";

    EXPECT_EQ(environment->ChooseLanguage(QStringLiteral("English")), QStringList());
    QMessageBox again(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(again.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Yes"));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
    EXPECT_EQ(QLocale().toString(1234.5), QStringLiteral("1234.5")) << "shown as it can be typed back";
    EXPECT_EQ(dynamic_cast<QToolButton*>(
                  Create<orvex::XTgToolbar>("OrvexTGCL2.XTgToolbar")->Buttons(orvex::XTgToolbar::kNext).get())
                  ->text(),
              QStringLiteral("Next"));

    // A language without the host's texts says so once and stays in English.
    const QStringList warnings = environment->ChooseLanguage(QStringLiteral("Klingon"));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("Klingon.lng"))) << warnings[0].toStdString();
    QLocale::setDefault(saved);
}
