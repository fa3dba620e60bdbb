#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHash>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <optional>

#include "host/archive/HostResultsDatabase.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostDockedDialog.h"
#include "host/ui/HostFleetPanel.h"
#include "host/ui/HostHistoryPanel.h"
#include "host/ui/HostMainWindow.h"
#include "host/visit/HostProcedure.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostScript.h"
#include "host/visit/HostScriptedTechnician.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/GuideWindowNames.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "sim/Simulator.h"
#include "support/PlugInFixture.h"

using orvex::HostMainWindow;

namespace {

// The real plug-in and driver, loaded the way orvex loads them, and a window over them whose
// built-in simulator runs a hundred times faster than a real Korotka.
class MainWindowTest : public PlugInFixture {
protected:
    void SetUp() override {
        PlugInFixture::SetUp();
        const QString folder = QFileInfo(QStringLiteral(KOROTKA_PLUGIN_LIBRARY)).path();
        environment->Loader().Load(QStringLiteral("KorotkaVTI"),
                                   folder + QStringLiteral("/liborvexKorotkaVTI.so"));
    }

    std::unique_ptr<HostMainWindow> Window() {
        auto window = std::make_unique<HostMainWindow>(*environment, plugIn, [this] {
            korotkasim::SimOptions options;
            options.timeScale = 0.05;
            options.fault = fault;
            return orvex::HostKorotka::StartSimulator(options);
        });
        window->show();
        return window;
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList Column(QTreeWidget* list, int column) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(column);
        return texts;
    }

    void Shoot(QWidget* widget, const QString& name) const {
        const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts/");
        ASSERT_TRUE(QDir().mkpath(folder));
        EXPECT_TRUE(widget->grab().save(folder + name));
    }

    // The repeats under the tests, a line a row: a group's heading, then its readings' columns.
    // None while the panel is hidden.
    static QStringList RepeatsShown(HostMainWindow& window) {
        auto* panel = window.findChild<QTreeWidget*>(QStringLiteral("lstRepeats"));
        QStringList rows;
        for (QTreeWidgetItemIterator item(panel); *item && !panel->isHidden(); ++item) {
            QStringList columns;
            for (int column = 0; column < panel->columnCount(); ++column) columns << (*item)->text(column);
            rows << columns.join('\t').trimmed();
        }
        return rows;
    }

    // Run by the technician with the window.
    bool Run(HostMainWindow& window, const QString& script) {
        orvex::HostScriptedTechnician technician(orvex::HostScript::Parse(script), messages, 60);
        technician.Start();
        window.Run(false);
        technician.Finish();
        // What the technician was told names the cause of a failure.
        QStringList told;
        for (const auto& message : messages->Shown()) told << message.text;
        EXPECT_FALSE(technician.Failed()) << technician.Failure().toStdString() << "\n"
                                          << told.join('\n').toStdString();
        return !technician.Failed();
    }

    // Answers the dialogs an action opens as a person would: an input dialog with the text given
    // for its label, a file dialog with the file it offers. What was answered, in order.
    static QStringList Answer(QAction* action, const QHash<QString, QString>& answers) {
        QStringList answered;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* input = qobject_cast<QInputDialog*>(modal);
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (input && input->isVisible() && answers.contains(input->labelText())) {
                answered << input->labelText();
                input->setTextValue(answers[input->labelText()]);
                input->accept();
            } else if (files && files->isVisible()) {
                answered << files->windowTitle();
                QMetaObject::invokeMethod(files, "accept");
            }
        });
        watch.start(20);
        action->trigger();
        return answered;
    }

    // Lets the window work until the condition holds, as long as a person would wait.
    static bool WaitFor(const std::function<bool()>& condition) {
        QElapsedTimer clock;
        clock.start();
        while (!condition() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
        }
        return condition();
    }

    korotkasim::Fault fault = korotkasim::Fault::None;
};

TEST_F(MainWindowTest, AddConfigureSaveAndReopen) {
    const auto window = Window();
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("lstSequence"));
    ASSERT_NE(list, nullptr);
    for (const int32_t testId : {200, 300, 100}) window->AddTest(testId);
    EXPECT_EQ(Column(list, 1), (QStringList{"Korotka Over-Pressure Test", "Korotka Static Pressure Test",
                                            "Korotka Leak Test"}));
    EXPECT_TRUE(window->IsModified());
    EXPECT_TRUE(window->windowTitle().contains(QLatin1Char('*')));

    // Reordered and pruned: the leak test first, the over-pressure test gone.
    window->Select(2);
    window->findChild<QAction*>(QStringLiteral("1013"))->trigger();
    window->findChild<QAction*>(QStringLiteral("1013"))->trigger();
    window->Select(1);
    window->findChild<QAction*>(QStringLiteral("1012"))->trigger();
    ASSERT_EQ(window->Sequence().Tests().size(), 2);
    EXPECT_EQ(window->Sequence().Tests()[0]->TestID(), 100);
    EXPECT_EQ(window->Sequence().Tests()[1]->ID(), 2);

    // The static test's inflate pressure changed in its configuration dialog shows in the list.
    window->Select(1);
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<orvex::HostDockedDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("txtConfig_0"))->setText(QStringLiteral("275"));
        Shoot(dialog, QStringLiteral("MainWindow-configure.png"));
        dialog->accept();
    });
    window->findChild<QAction*>(QStringLiteral("1015"))->trigger();
    EXPECT_TRUE(list->topLevelItem(1)->text(2).contains("275 mmHg"))
        << list->topLevelItem(1)->text(2).toStdString();
    // The change is undone and done again from the Edit menu.
    window->findChild<QAction*>(QStringLiteral("1024"))->trigger();
    EXPECT_FALSE(list->topLevelItem(1)->text(2).contains("275 mmHg"));
    window->findChild<QAction*>(QStringLiteral("1025"))->trigger();
    EXPECT_TRUE(list->topLevelItem(1)->text(2).contains("275 mmHg"));

    // The limits dialog shows the shipped limit set of the test.
    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<orvex::HostDockedDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        Shoot(dialog, QStringLiteral("MainWindow-limits.png"));
        dialog->reject();
    });
    window->findChild<QAction*>(QStringLiteral("1016"))->trigger();

    // The asset and technician typed into the panel travel with the file.
    const QStringList typed{"INF-0042", "Acme NIBP 3", "SN 77", "Ward 4", "J. Smith"};
    for (int i = 0; i < typed.size(); ++i) {
        window->findChild<QLineEdit*>(QStringLiteral("txtAsset%1").arg(i))->setText(typed[i]);
    }
    const QString path = registryDir.filePath(QStringLiteral("visit.xml"));
    ASSERT_TRUE(window->SaveAs(path));
    EXPECT_FALSE(window->IsModified());
    Shoot(window.get(), QStringLiteral("MainWindow.png"));

    const auto reopened = Window();
    ASSERT_TRUE(reopened->Open(path));
    EXPECT_EQ(reopened->Sequence().AssetUnderTest().makeModel, "Acme NIBP 3");
    EXPECT_EQ(reopened->Sequence().Technician(), "J. Smith");
    EXPECT_EQ(reopened->findChild<QLineEdit*>(QStringLiteral("txtAsset3"))->text(), "Ward 4");
    EXPECT_EQ(Column(reopened->findChild<QTreeWidget*>(QStringLiteral("lstSequence")), 2), Column(list, 2));

    // Closing with unsaved changes asks first; Cancel keeps the window.
    reopened->AddTest(300);
    messages->SetAnswer(orvex::MessageService::Answer::Cancel);
    EXPECT_FALSE(reopened->close());
    EXPECT_EQ(messages->Shown().last().buttons, orvex::MessageService::Buttons::YesNoCancel);
    messages->SetAnswer(orvex::MessageService::Answer::No);
    EXPECT_TRUE(reopened->close());
}

TEST_F(MainWindowTest, RunsAgainstTheSimulatorAndShowsTheVerdict) {
    const auto window = Window();
    window->AddTest(300);
    EXPECT_TRUE(window->Identify().contains("KT-0001234"));
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 251\nnext\n")));
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("lstSequence"));
    EXPECT_EQ(list->topLevelItem(0)->text(3), "passed");
    EXPECT_TRUE(list->topLevelItem(0)->text(4).contains("STAT=251 mmHg"))
        << list->topLevelItem(0)->text(4).toStdString();

    window->AddTest(200);
    Shoot(window.get(), QStringLiteral("MainWindow-run.png"));

    // A second visit whose line is lost mid-test keeps the result the first one stored.
    fault = korotkasim::Fault::Disconnect;
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nrest\nanswer yes\nabort\n")));
    EXPECT_TRUE(std::any_of(messages->Shown().begin(), messages->Shown().end(), [](const auto& message) {
        return message.text.contains("The connection to the instrument was lost.");
    }));
    EXPECT_EQ(list->topLevelItem(0)->text(3), "passed");
    EXPECT_TRUE(list->topLevelItem(0)->text(4).contains("STAT=251 mmHg"));

    // So does one that goes on after the lost line and whose window is then left: the run stores a
    // result without readings, which must not replace the one that has them.
    const qsizetype shown = messages->Shown().size();
    QTimer leave;
    QObject::connect(&leave, &QTimer::timeout, [this, shown] {
        const auto& all = messages->Shown();
        if (std::none_of(all.begin() + shown, all.end(), [](const auto& message) {
                return message.text.contains("The connection to the instrument was lost.");
            })) {
            return;
        }
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == orvex::GuideWindowNames::kWindow && widget->isVisible())
                widget->hide();
        }
    });
    leave.start(100);
    orvex::HostScriptedTechnician technician(orvex::HostScript::Parse("start\nrest\n"), messages, 60);
    technician.Start();
    window->Run(false);
    technician.Finish();
    EXPECT_FALSE(technician.Failed()) << technician.Failure().toStdString();
    EXPECT_EQ(list->topLevelItem(0)->text(3), "passed");
    EXPECT_TRUE(list->topLevelItem(0)->text(4).contains("STAT=251 mmHg"));
    leave.stop();

    // A device that is no Korotka is named.
    window->ChooseDevice(QStringLiteral("/dev/null"));
    EXPECT_TRUE(window->Identify().contains("/dev/null"));
}

// Without a Korotka to run against the technician is told why, beside the chooser and when a run
// is asked for, and nothing is run.
TEST_F(MainWindowTest, SaysWhyThereIsNoKorotkaToRunAgainst) {
    const QString why = QStringLiteral("no pseudo-terminal is free");
    HostMainWindow failing(*environment, plugIn,
                           [why] { return orvex::HostResult<HostMainWindow::Korotka>::Failed(why); });
    failing.AddTest(300);
    EXPECT_EQ(failing.Identify(), why);
    EXPECT_EQ(failing.findChild<QLabel*>(QStringLiteral("lblIdentity"))->text(), why);
    const qsizetype told = messages->Shown().size();
    failing.Run(false);
    ASSERT_EQ(messages->Shown().size(), told + 1);
    EXPECT_EQ(messages->Shown().last().text, why);
    EXPECT_FALSE(failing.Sequence().HoldsResult(0));

    // No simulator, and no serial device found on this machine: the chooser is empty.
    HostMainWindow without(*environment, plugIn, HostMainWindow::SimulatorStarter());
    without.AddTest(300);
    if (without.findChild<QComboBox*>(QStringLiteral("cboDevice"))->count() == 0) {
        without.Run(false);
        EXPECT_EQ(messages->Shown().last().text, "Choose the device the Korotka is on.");
    }
}

TEST_F(MainWindowTest, FollowsTheRunTestByTest) {
    const auto window = Window();
    window->AddTest(300);
    window->AddTest(300);
    // The monitor's readings of one pressure may spread by 1 mmHg at most.
    window->Sequence().SetMadeFrom({"Ward check", "1", {{300, "STAT", 1.0, "mmHg"}}});
    const QString path = registryDir.filePath(QStringLiteral("followed.xml"));
    ASSERT_TRUE(window->SaveAs(path));
    ASSERT_FALSE(window->IsModified());
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("lstSequence"));

    // What the window shows once the second test's guide is open.
    struct Seen {
        QString firstStatus;
        QString firstReadings;
        bool firstBold = true;
        QString secondStatus;
        bool secondBold = false;
        int selected = -1;
        bool modified = true;
        QString title;
        qsizetype resultsInFile = 0;
        // The two tests are repeats: one reading is no spread yet.
        QString repeats;
    };
    std::optional<Seen> seen;
    QPointer<QWidget> lastGuide;
    int guides = 0;
    // Each guide stays above the main window, also when the technician clicks the main window.
    bool guidesAbove = true;
    QString limitsShown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* guide = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == orvex::GuideWindowNames::kWindow && widget->isVisible())
                guide = widget;
        }
        if (guide == nullptr || guide == lastGuide) return;
        lastGuide = guide;
        guidesAbove = guidesAbove && guide->windowHandle()->transientParent() == window->windowHandle();
        if (++guides != 2) return;
        seen = Seen{list->topLevelItem(0)->text(3),
                    list->topLevelItem(0)->text(4),
                    list->topLevelItem(0)->font(1).bold(),
                    list->topLevelItem(1)->text(3),
                    list->topLevelItem(1)->font(1).bold(),
                    window->SelectedPosition(),
                    window->IsModified(),
                    window->windowTitle(),
                    Read(path).count("Performed="),
                    RepeatsShown(*window).join('|')};
        Shoot(window.get(), QStringLiteral("MainWindow-running.png"));
        // The technician sees what the reading will be judged against before typing it.
        for (auto* rows : guide->findChildren<QTreeWidget*>()) {
            const auto found = rows->findItems(QStringLiteral("Difference"), Qt::MatchExactly);
            if (!found.isEmpty()) limitsShown = found.first()->text(2) + " / " + found.first()->text(3);
        }
        Shoot(guide, QStringLiteral("FTestGuide-running-limits.png"));
    });
    watch.start(10);
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 251\nnext\n"
                                            "start\nreadings 3\ntype STAT 249\nnext\n")));
    watch.stop();

    ASSERT_TRUE(seen.has_value()) << "the second guide was not seen";
    EXPECT_TRUE(guidesAbove);
    EXPECT_EQ(seen->firstStatus, "passed");
    EXPECT_TRUE(seen->firstReadings.contains("STAT=251 mmHg")) << seen->firstReadings.toStdString();
    EXPECT_FALSE(seen->firstBold);
    EXPECT_EQ(seen->secondStatus, "running");
    EXPECT_TRUE(seen->secondBold);
    EXPECT_EQ(seen->selected, 1);
    // The first result is in the file before the second test begins.
    EXPECT_FALSE(seen->modified);
    EXPECT_TRUE(seen->title.startsWith("followed.xml - ")) << seen->title.toStdString();
    EXPECT_EQ(seen->resultsInFile, 1);
    EXPECT_EQ(limitsShown, "3 mmHg / -3 mmHg");

    EXPECT_EQ(list->topLevelItem(1)->text(3), "passed");
    EXPECT_TRUE(list->topLevelItem(1)->text(4).contains("STAT=249 mmHg"));

    // Under the tests, the spread of each reading the two hold: n, mean, deviation, range, and
    // the range allowed with its verdict.
    EXPECT_EQ(seen->repeats.toStdString(),
              "Korotka Static Pressure Test, tests 1, 2: Inflate Pressure 250 mmHg|"
              "Fewer than two of them hold a reading yet.");
    const QStringList repeats = RepeatsShown(*window);
    EXPECT_TRUE(repeats.contains("Pressure (mmHg)\t2\t250.0\t1.41\t2.0\t1\tfailed"))
        << repeats.join('\n').toStdString();
    Shoot(window.get(), QStringLiteral("MainWindow-repeats.png"));
    // Removed, the second test leaves no repeats: the panel goes.
    window->Select(1);
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    window->findChild<QAction*>(QStringLiteral("1012"))->trigger();
    EXPECT_TRUE(RepeatsShown(*window).isEmpty());
}

// Removing a tested row asks first, and Undo brings it back with its result; added and moved
// rows are undone too. Save as adds the suffix the Open dialog looks for.
TEST_F(MainWindowTest, RemovingATestedRowAsksAndUndoBringsItBack) {
    const auto window = Window();
    window->AddTest(300);
    window->AddTest(100);
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 251\nnext\nabort\n")));
    auto* list = window->findChild<QTreeWidget*>(QStringLiteral("lstSequence"));
    QAction* remove = window->findChild<QAction*>(QStringLiteral("1012"));
    QAction* undo = window->findChild<QAction*>(QStringLiteral("1024"));
    QAction* redo = window->findChild<QAction*>(QStringLiteral("1025"));
    EXPECT_FALSE(undo->isEnabled()) << "a run leaves nothing to undo";

    window->Select(0);
    messages->SetAnswer(orvex::MessageService::Answer::No);
    remove->trigger();
    EXPECT_TRUE(messages->Shown().last().text.contains("holds a result"))
        << messages->Shown().last().text.toStdString();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    remove->trigger();
    ASSERT_EQ(Column(list, 1), QStringList{"Korotka Leak Test"});
    undo->trigger();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(3), "passed");
    EXPECT_TRUE(list->topLevelItem(0)->text(4).contains("STAT=251 mmHg"));
    EXPECT_EQ(window->SelectedPosition(), 0);
    redo->trigger();
    EXPECT_EQ(list->topLevelItemCount(), 1);
    undo->trigger();

    // An untested row goes without a question; moves and additions are undone in turn.
    const qsizetype asked = messages->Shown().size();
    window->Select(1);
    remove->trigger();
    EXPECT_EQ(messages->Shown().size(), asked);
    window->AddTest(200);
    window->findChild<QAction*>(QStringLiteral("1013"))->trigger();
    EXPECT_EQ(Column(list, 1), (QStringList{"Korotka Over-Pressure Test", "Korotka Static Pressure Test"}));
    for (int i = 0; i < 3; ++i) undo->trigger();
    EXPECT_EQ(Column(list, 1), (QStringList{"Korotka Static Pressure Test", "Korotka Leak Test"}));
    EXPECT_EQ(list->topLevelItem(0)->text(3), "passed");

    QTimer::singleShot(0, [this] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Save as");
        dialog->setDirectory(registryDir.path());
        dialog->selectFile(QStringLiteral("visit1"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    window->findChild<QAction*>(QStringLiteral("1005"))->trigger();
    EXPECT_EQ(window->FileName(), Path(QStringLiteral("visit1.xml")));
    EXPECT_TRUE(Read(Path(QStringLiteral("visit1.xml"))).contains(">251<"));
}

// The folder of the file vanishes (a stick pulled out): the results go to the recovery file, the
// technician is told both paths, and the next start offers them until they are saved elsewhere.
TEST_F(MainWindowTest, KeepsTheResultsOfARunWhoseFileCannotBeWritten) {
    const QByteArray stateBefore = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", registryDir.filePath(QStringLiteral("state")).toLocal8Bit());
    const QString folder = registryDir.filePath(QStringLiteral("stick"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/visit.xml");
    const auto window = Window();
    window->AddTest(300);
    ASSERT_TRUE(window->SaveAs(path));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 251\nnext\nanswer no\n")));
    const QString recovery = window->RecoveryFile();
    ASSERT_FALSE(recovery.isEmpty());
    EXPECT_TRUE(window->IsModified());
    const auto& told = messages->Shown().last();
    EXPECT_TRUE(told.text.contains(path) && told.text.contains(recovery)) << told.text.toStdString();
    EXPECT_EQ(told.buttons, orvex::MessageService::Buttons::YesNo);

    const auto next = Window();
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    next->OfferRecovery();
    EXPECT_TRUE(messages->Shown().last().text.contains(recovery));
    ASSERT_EQ(next->Sequence().Tests().size(), 1);
    EXPECT_EQ(next->Sequence().Tests()[0]->Result()->Status(), orvex::IResultData::kPassed);
    EXPECT_TRUE(next->FileName().isEmpty());
    EXPECT_TRUE(next->IsModified());
    ASSERT_TRUE(next->SaveAs(registryDir.filePath(QStringLiteral("kept.xml"))));
    EXPECT_FALSE(QFile::exists(recovery));
    qputenv("XDG_STATE_HOME", stateBefore);
}

// Results a save cut off by a crash left beside the file are offered when it is opened: declined,
// they stay; taken, they are the visit, and saving it into the file removes what was left.
TEST_F(MainWindowTest, OffersTheResultsACrashedSaveLeftBesideTheFile) {
    const QString path = registryDir.filePath(QStringLiteral("visit.xml"));
    const QString leftover = path + QStringLiteral(".KmQwZr");
    const auto window = Window();
    window->AddTest(300);
    ASSERT_TRUE(window->SaveAs(path));
    const QByteArray untested = Read(path);
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 251\nnext\n")));
    // The run's results left beside the file, the file as it was before the run.
    ASSERT_TRUE(QFile::rename(path, leftover));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(untested) == untested.size() && file.flush());
    ASSERT_TRUE(
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    file.close();

    const auto next = Window();
    messages->SetAnswer(orvex::MessageService::Answer::No);
    ASSERT_TRUE(next->Open(path));
    ASSERT_FALSE(messages->Shown().isEmpty());
    EXPECT_TRUE(messages->Shown().last().text.contains(leftover))
        << messages->Shown().last().text.toStdString();
    EXPECT_FALSE(next->Sequence().HoldsResult(0));
    messages->SetAnswer(orvex::MessageService::Answer::Yes);
    ASSERT_TRUE(next->Open(path));
    EXPECT_TRUE(next->Sequence().HoldsResult(0));
    EXPECT_EQ(next->FileName(), path);
    EXPECT_TRUE(next->IsModified());
    EXPECT_TRUE(QFile::exists(leftover));
    ASSERT_TRUE(next->SaveAs(path));
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_TRUE(Read(path).contains("Performed=")) << Read(path).toStdString();
}

// Each run of the window is stored for the asset, and the History tab shows the visits and the
// trend of the reading of the test chosen in the sequence. A database that cannot be opened is
// told about, the file keeps the run, and the next run is stored again.
TEST_F(MainWindowTest, ArchivesEachRunAndShowsTheAssetsHistory) {
    const QString path = Path(QStringLiteral("mon-17.xml"));
    const QString database = Path(QStringLiteral("history.sqlite"));
    const auto window = Window();
    window->SetDatabase(database, true);
    window->AddTest(300);
    window->findChild<QLineEdit*>(QStringLiteral("txtAsset0"))->setText(QStringLiteral("MON-17"));
    ASSERT_TRUE(window->SaveAs(path));
    window->findChild<QTabWidget*>(QStringLiteral("tabSide"))->setCurrentIndex(1);
    auto& history = window->History();
    ASSERT_TRUE(WaitFor([&] { return history.Status().contains("No visit of MON-17"); }))
        << history.Status().toStdString();

    for (const char* typed : {"251", "252"}) {
        ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT %1\nnext\n").arg(typed)));
    }
    ASSERT_TRUE(WaitFor([&] { return history.VisitCount() == 2; })) << history.Status().toStdString();
    // The reading judged against the limit, not the first one of the test: the typed pressure
    // less the Korotka's, one apart.
    EXPECT_EQ(history.findChild<QComboBox*>(QStringLiteral("cboReading"))->currentText(),
              "1. Korotka Static Pressure Test: Difference (mmHg)");
    const QList<double> shown = history.TrendShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_NEAR(shown[1] - shown[0], 1.0, 1e-3);
    // The static points of the two visits, oldest first, against the band they were judged by.
    const auto& accuracy = history.AccuracyShown();
    ASSERT_EQ(accuracy.size(), 2);
    ASSERT_EQ(accuracy[1].points.size(), 1);
    EXPECT_EQ(accuracy[0].points[0].difference, shown[0]);
    EXPECT_EQ(accuracy[1].points[0].difference, shown[1]);
    EXPECT_EQ(accuracy[1].points[0].high, 3.0);
    EXPECT_TRUE(history.findChild<QLabel*>(QStringLiteral("lblAccuracy"))->isVisible());
    Shoot(window.get(), QStringLiteral("MainWindow-history.png"));

    const QString report = Path(QStringLiteral("mon-17.pdf"));
    const auto written = window->WriteReport(report);
    ASSERT_TRUE(written) << written.Why().toStdString();
    EXPECT_FALSE(written->contains("trends")) << written->toStdString();

    QFile blocker(Path(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window->SetDatabase(Path(QStringLiteral("not-a-folder/x.sqlite")), true);
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 250.5\nnext\n")));
    EXPECT_TRUE(messages->Shown().last().text.startsWith("The visit was not archived: the results database"))
        << messages->Shown().last().text.toStdString();
    EXPECT_TRUE(Read(path).contains(">250.5<"));
    EXPECT_FALSE(window->IsModified());
    const auto withoutTrends = window->WriteReport(report);
    ASSERT_TRUE(withoutTrends) << withoutTrends.Why().toStdString();
    EXPECT_TRUE(withoutTrends->contains(" The report shows no trends:")) << withoutTrends->toStdString();

    window->SetDatabase(database, true);
    ASSERT_TRUE(Run(*window, QStringLiteral("start\nreadings 3\ntype STAT 250\nnext\n")));
    ASSERT_TRUE(WaitFor([&] { return history.VisitCount() == 3; })) << history.Status().toStdString();
    EXPECT_EQ(history.TrendShown().size(), 3);
    // A day's repeats say nothing of a year; two visits years before do: three and two years
    // before the runs, 3 and 2 below their mean m, all five rise by 1 mmHg a year and reach 3 mmHg
    // 3 - m years after the runs.
    EXPECT_TRUE(history.DriftShown().isEmpty()) << history.DriftShown().toStdString();
    const QList<double> runs = history.TrendShown();
    const double mean = (runs[0] + runs[1] + runs[2]) / 3;
    ASSERT_LT(mean, 3.0);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    constexpr double kYear = 365.2425 * 86400;
    {
        orvex::HostResultsDatabase store(database);
        const auto visit = [&](const QString& asset, double years, double difference) {
            orvex::HostVisitRecord record;
            record.assetId = asset;
            record.verdict = QStringLiteral("PASSED");
            record.performed = now.addSecs(-qint64(years * kYear)).toString(Qt::ISODate);
            const orvex::HostVisitRecord::Reading reading{
                "DIFF", {}, "x", difference, "mmHg", "passed", {{QStringLiteral("X"), -3.0, 3.0}}};
            record.tests.append({1, 300, QStringLiteral("Static"), "passed", record.performed, {reading}});
            record.visit = asset + QString::number(years);
            store.Store(record, QStringLiteral("v.xml"), QStringLiteral("archive"));
        };
        visit(QStringLiteral("MON-17"), 3, mean - 3);
        visit(QStringLiteral("MON-17"), 2, mean - 2);
        // Due in about a fortnight; and overdue by a year, drifting out of ±3 mmHg about now.
        visit(QStringLiteral("MON-5"), 0.96, 0);
        for (int years = 4; years >= 2; --years) visit(QStringLiteral("MON-3"), years, 1.0 - (years - 2));
    }
    history.Reload();
    ASSERT_TRUE(WaitFor([&] { return history.VisitCount() == 5; })) << history.Status().toStdString();
    EXPECT_EQ(history.DriftShown(),
              QStringLiteral("Drift +1.00 mmHg a year; at this rate outside ±3 mmHg by %1.")
                  .arg(now.addSecs(qint64((3.0 - mean) * kYear)).toString(QStringLiteral("yyyy-MM"))));
    Shoot(window.get(), QStringLiteral("MainWindow-history-drift.png"));

    // The Fleet tab lists the overdue asset first; double-clicked, its history is shown.
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("tabSide"));
    tabs->setCurrentIndex(2);
    EXPECT_EQ(window->Fleet().DueShown(), (QStringList{"MON-3", "MON-5"}));
    EXPECT_EQ(window->Fleet().DriftShown(), QStringList{"MON-3"});
    Shoot(window.get(), QStringLiteral("MainWindow-fleet.png"));
    auto* due = window->Fleet().findChild<QTreeWidget*>(QStringLiteral("lstDue"));
    emit due->itemDoubleClicked(due->topLevelItem(0), 0);
    EXPECT_EQ(tabs->currentWidget(), &history);
    ASSERT_TRUE(WaitFor([&] { return history.Status().contains("3 visits of MON-3"); }))
        << history.Status().toStdString();
}

// A visit made from a shipped procedure, saved as a procedure through the window and made again
// from that file, is the same visit: the same tests, configurations, limits and repeats.
TEST_F(MainWindowTest, SavesAVisitAsAProcedureThatMakesTheSameVisit) {
    const QByteArray dataBefore = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", registryDir.filePath(QStringLiteral("data")).toLocal8Bit());
    const auto window = Window();
    QAction* fromProcedure = window->findChild<QAction*>(QStringLiteral("1400"));
    EXPECT_EQ(Answer(fromProcedure, {{"Procedure:", "Adult NIBP performance check (1)"}}),
              QStringList{"Procedure:"});
    const QString first = window->Sequence().ToText();
    ASSERT_TRUE(first.contains(R"(<High Enabled="True" Operation="Y">3</High>)"));

    // Saved where it is offered, the user's procedures folder, under a name made of the procedure's.
    EXPECT_EQ(Answer(window->findChild<QAction*>(QStringLiteral("1401")),
                     {{"Name:", "Ward 7 Prüfung"}, {"Version:", "2"}}),
              (QStringList{"Name:", "Version:", "Save as procedure"}));
    ASSERT_TRUE(QFile::exists(orvex::HostProcedure::UserFolder() + "/ward-7-prufung.xml"));

    messages->SetAnswer(orvex::MessageService::Answer::No);
    EXPECT_EQ(Answer(fromProcedure, {{"Procedure:", "Ward 7 Prüfung (2)"}}), QStringList{"Procedure:"});
    EXPECT_EQ(window->Sequence().MadeFrom().name, "Ward 7 Prüfung");
    EXPECT_EQ(window->Sequence().MadeFrom().version, "2");
    // Apart from the procedure it names, the new visit's file is the first one's.
    const auto tests = [](const QString& text) {
        return text.mid(text.indexOf(QStringLiteral("<TestElement")));
    };
    EXPECT_EQ(tests(window->Sequence().ToText()).toStdString(), tests(first).toStdString());
    qputenv("XDG_DATA_HOME", dataBefore);
}

}  // namespace
