#include "HostMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenuBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>
#include <utility>

#include "host/output/HostReportWriter.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/platform/HostMessageService.h"
#include "host/session/HostEnvironment.h"
#include "host/ui/HostAssetPanel.h"
#include "host/ui/HostDialogOwner.h"
#include "host/ui/HostFileChooser.h"
#include "host/ui/HostFleetPanel.h"
#include "host/ui/HostHistoryPanel.h"
#include "host/ui/HostRepeatsPanel.h"
#include "host/ui/HostSequenceEditor.h"
#include "host/ui/HostSequenceList.h"
#include "host/visit/HostRun.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ComError.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ITestElement.h"
#include "hostapi/VariantArray.h"

namespace orvex {

HostMainWindow::HostMainWindow(HostEnvironment& environment, std::shared_ptr<IPlugIn> plugIn,
                               SimulatorStarter simulator, QWidget* parent)
    : QMainWindow(parent), m_environment(environment), m_plugIn(std::move(plugIn)), m_document(m_plugIn) {
    setObjectName(QStringLiteral("HostMainWindow"));
    m_lstSequence = new HostSequenceList(m_plugIn, this);
    m_editor = new HostSequenceEditor(m_environment, m_document, *m_lstSequence, this);
    connect(m_editor, &HostSequenceEditor::Modified, this, [this] { ShowTitle(); });
    connect(m_editor, &HostSequenceEditor::Changed, this, [this] { Refresh(); });
    connect(m_editor, &HostSequenceEditor::Failed, this, [this](const QString& why) { ShowError(why); });
    // The spread of repeated tests under the tests, in the width their columns need.
    auto* central = new QSplitter(Qt::Vertical, this);
    central->setObjectName(QStringLiteral("splVisit"));
    central->setChildrenCollapsible(false);
    central->addWidget(m_lstSequence);
    m_repeats = new HostRepeatsPanel(central);
    central->addWidget(m_repeats);
    central->setStretchFactor(0, 3);
    central->setStretchFactor(1, 2);
    setCentralWidget(central);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    m_asset = new HostAssetPanel(m_document.Sequence(), side);
    connect(m_asset, &HostAssetPanel::Taken, this, [this](const QString& assetId) {
        m_history->ShowAsset(assetId);
        SetModified();
    });
    m_instrument = new HostInstrumentPanel(m_environment, std::move(simulator), side);
    connect(m_instrument, &HostInstrumentPanel::Failed, this, [this](const QString& why) { ShowError(why); });
    sideLayout->addWidget(m_asset);
    sideLayout->addWidget(m_instrument);
    sideLayout->addStretch();
    m_history = new HostHistoryPanel(
        [this](const QString& literal, const VariantArray* parameters) { return Text(literal, parameters); },
        this);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabSide"));
    tabs->addTab(side, Text(QStringLiteral("1040::Service visit")));
    tabs->addTab(m_history, Text(QStringLiteral("1080::History")));
    m_fleet = new HostFleetPanel(
        [this](const QString& literal, const VariantArray* parameters) { return Text(literal, parameters); },
        this);
    tabs->addTab(m_fleet, Text(QStringLiteral("1443::Fleet")));
    connect(m_fleet, &HostFleetPanel::Opened, this, [this, tabs](const QString& assetId) {
        m_history->ShowAsset(assetId);
        tabs->setCurrentWidget(m_history);
    });
    auto* dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("dockVisit"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    // The tabs name what the panel shows; a title above them would say it twice.
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(tabs);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    BuildActions();
    connect(m_lstSequence, &QTreeWidget::itemDoubleClicked, m_editor, &HostSequenceEditor::Configure);
    // The history follows the test chosen in the sequence.
    connect(m_lstSequence, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int position = SelectedPosition();
        if (position >= 0)
            m_history->SelectTest(m_document.Sequence().Tests()[position]->TestID(), position + 1);
        m_repeats->Follow(position);
    });
    // Room for the repeats under the tests and both pictures of the history.
    resize(1100, 660);
    Refresh();
}

HostMainWindow::~HostMainWindow() = default;

QString HostMainWindow::Text(const QString& literal, const VariantArray* parameters) const {
    return HostLanguageService::HostText(literal, parameters ? *parameters : VariantArray());
}

void HostMainWindow::BuildActions() {
    struct Item {
        QString menu;
        QString literal;
        QKeySequence key;
        std::function<void()> handler;
        bool onToolBar;
    };
    const std::vector<Item> items{
        {QStringLiteral("1001::&File"), QStringLiteral("1002::&New"), QKeySequence::New,
         [this] {
             if (AskToSave()) NewSequence();
         },
         true},
        {QStringLiteral("1001::&File"), QStringLiteral("1400::New visit from &procedure..."), QKeySequence(),
         [this] { NewFromProcedure(); }, false},
        {QStringLiteral("1001::&File"), QStringLiteral("1003::&Open..."), QKeySequence::Open,
         [this] { OpenFromDialog(); }, true},
        {QStringLiteral("1001::&File"), QStringLiteral("1004::&Save"), QKeySequence::Save, [this] { Save(); },
         true},
        {QStringLiteral("1001::&File"), QStringLiteral("1005::Save &as..."), QKeySequence::SaveAs,
         [this] { SaveFromDialog(); }, false},
        {QStringLiteral("1001::&File"), QStringLiteral("1401::Save as p&rocedure..."), QKeySequence(),
         [this] { SaveAsProcedure(); }, false},
        {QStringLiteral("1001::&File"), QStringLiteral("1006::&Report..."), QKeySequence::Print,
         [this] { ReportFromDialog(); }, true},
        {QStringLiteral("1001::&File"), QStringLiteral("1007::&Quit"), QKeySequence::Quit,
         [this] { close(); }, false},
        {QStringLiteral("1023::&Edit"), QStringLiteral("1024::&Undo"), QKeySequence::Undo,
         [this] { m_editor->Edits().undo(); }, false},
        {QStringLiteral("1023::&Edit"), QStringLiteral("1025::&Redo"), QKeySequence::Redo,
         [this] { m_editor->Edits().redo(); }, false},
        {QStringLiteral("1010::&Test"), QStringLiteral("1012::&Remove"), QKeySequence::Delete,
         [this] { m_editor->RemoveSelected(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1013::Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up),
         [this] { m_editor->MoveSelected(-1); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1014::Move &down"),
         QKeySequence(Qt::ALT | Qt::Key_Down), [this] { m_editor->MoveSelected(1); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1015::&Configure..."), QKeySequence(Qt::Key_F4),
         [this] { m_editor->Configure(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1016::&Limits..."), QKeySequence(),
         [this] { m_editor->EditLimits(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1017::&Run from selected"), QKeySequence(Qt::Key_F5),
         [this] { Run(true); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1018::Run &all"),
         QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { Run(false); }, true},
        {QStringLiteral("1020::&Instrument"), QStringLiteral("1022::&Identify"), QKeySequence(),
         [this] { Identify(); }, false},
        {QStringLiteral("1020::&Instrument"), QStringLiteral("1021::Control &panel..."), QKeySequence(),
         [this] { m_instrument->ShowControlPanel(); }, true},
    };
    auto* toolBar = addToolBar(Text(QStringLiteral("1008::Tools")));
    toolBar->setObjectName(QStringLiteral("tbrMain"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    std::map<QString, QMenu*> menus;
    for (const Item& item : items) {
        QMenu*& menu = menus[item.menu];
        if (menu == nullptr) {
            menu = menuBar()->addMenu(Text(item.menu));
            // Tests are added from the plug-in's templates, in the Test menu.
            if (item.menu == QLatin1String("1010::&Test")) {
                m_editor->FillAddMenu(*menu->addMenu(Text(QStringLiteral("1011::&Add test"))), *m_plugIn);
                menu->addSeparator();
            }
        }
        QAction* action = menu->addAction(Text(item.literal));
        action->setObjectName(item.literal.section(QStringLiteral("::"), 0, 0));
        action->setShortcut(item.key);
        connect(action, &QAction::triggered, this, item.handler);
        if (item.onToolBar) toolBar->addAction(action);
    }
    m_editor->FollowUndo(*findChild<QAction*>(QStringLiteral("1024")),
                         *findChild<QAction*>(QStringLiteral("1025")));
}

void HostMainWindow::Refresh() {
    const HostVisitRecord::Configuration configuration{m_environment.Language()};
    const HostVisitRecord visit = HostVisitRecord::FromSequence(m_document.Sequence(), &configuration);
    m_lstSequence->Show(visit);
    m_repeats->Show(visit);
    m_repeats->Follow(SelectedPosition());
    m_asset->Show();
    m_history->ShowAsset(m_document.Sequence().AssetUnderTest().id);
    ShowTitle();
}

void HostMainWindow::ShowProgress(qsizetype position, HostSequence::Step step) {
    if (step == HostSequence::Step::Starting) {
        m_lstSequence->ShowRunning(position);
    } else if (position < m_lstSequence->topLevelItemCount()) {
        const HostVisitRecord::Configuration configuration{m_environment.Language()};
        m_lstSequence->ShowEnded(position,
                                 HostVisitRecord::TestAt(m_document.Sequence(), position, &configuration));
        // A repeat performed, or performed again after Previous, changes its group's spread.
        m_repeats->Show(HostVisitRecord::FromSequence(m_document.Sequence(), &configuration));
        m_repeats->Follow(static_cast<int>(position));
        ShowSaved();
    }
}

void HostMainWindow::AddTest(int32_t testId) { m_editor->Add(testId); }

int HostMainWindow::SelectedPosition() const { return m_lstSequence->SelectedPosition(); }

void HostMainWindow::Select(int position) { m_lstSequence->Select(position); }

void HostMainWindow::ChooseDevice(const QString& devicePath) { m_instrument->ChooseDevice(devicePath); }

QString HostMainWindow::Identify() { return m_instrument->Identify(); }

void HostMainWindow::ShowTitle() {
    const QString name = m_document.File().isEmpty() ? Text(QStringLiteral("1061::Untitled"))
                                                     : QFileInfo(m_document.File()).fileName();
    setWindowTitle(name + (m_document.Modified() ? QStringLiteral("*") : QString()) + QStringLiteral(" - ") +
                   Text(QStringLiteral("1000::Orvex")));
}

void HostMainWindow::SetModified() {
    m_document.SetModified();
    ShowTitle();
}

void HostMainWindow::ShowError(const QString& text) {
    m_environment.Messages()->Show(text, MessageService::Icon::Exclamation, MessageService::Buttons::Ok,
                                   Text(QStringLiteral("1000::Orvex")));
}

void HostMainWindow::ShowSaved() {
    // Saved into its file, the sequence holds no unsaved change, the edits before the run included.
    m_document.RunSaved();
    ShowTitle();
}

void HostMainWindow::Tell(const HostRunEnd::Notice& notice) {
    using Kind = HostRunEnd::Notice::Kind;
    if (notice.kind == Kind::RunError) ShowError(notice.error->Description());
    if (notice.kind == Kind::NotArchived) {
        // A database's reason is its own words; a visit in no file is the window's to word.
        VariantArray parameters = VariantArray::FromList({Variant(notice.text)});
        ShowError(notice.file.isEmpty()
                      ? Text(QStringLiteral("1345::The visit was not archived: its results are in no file."))
                      : Text(QStringLiteral("1090::The visit was not archived: %%1"), &parameters));
    }
    // The window shows an aborted run, a script's complaint and an unjudged test in the sequence.
    if (notice.kind != Kind::NotSaved) return;
    VariantArray parameters = VariantArray::FromList({Variant(notice.text), Variant(notice.file)});
    const QString text =
        notice.file.isEmpty()
            ? Text(QStringLiteral("1076::The results of the run could not be kept: %%1. Save the sequence "
                                  "under another name?"),
                   &parameters)
            : Text(QStringLiteral("1075::The sequence could not be saved: %%1. Its results are kept in %%2. "
                                  "Save it under another name?"),
                   &parameters);
    const auto answer =
        m_environment.Messages()->Show(text, MessageService::Icon::Exclamation,
                                       MessageService::Buttons::YesNo, Text(QStringLiteral("1000::Orvex")));
    if (answer == MessageService::Answer::Yes) SaveFromDialog();
}

void HostMainWindow::OfferRecovery() {
    const QStringList files = HostVisitSaver::Recoverable();
    if (files.isEmpty()) return;
    VariantArray parameters = VariantArray::FromList({Variant(files.first())});
    const auto answer = m_environment.Messages()->Show(
        Text(QStringLiteral("1077::The results of a visit that was not saved are kept in %%1. Open them?"),
             &parameters),
        MessageService::Icon::Question, MessageService::Buttons::YesNo, Text(QStringLiteral("1000::Orvex")));
    if (answer != MessageService::Answer::Yes || !AskToSave()) return;
    try {
        m_document.Recover(files.first());
    } catch (const ComError& error) {
        ShowError(error.Description());
        return;
    }
    m_editor->Forget();
    Refresh();
    ShowTitle();
    Select(0);
}

void HostMainWindow::NewSequence() {
    m_document.New();
    m_editor->Forget();
    Refresh();
}

void HostMainWindow::NewFromProcedure() {
    if (!AskToSave()) return;
    const QString path = HostFileChooser(this).ProcedureToUse();
    if (path.isEmpty()) return;
    try {
        m_document.NewFrom(path);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return;
    }
    m_editor->Forget();
    Refresh();
    Select(0);
}

void HostMainWindow::SaveAsProcedure() {
    const auto target = HostFileChooser(this).ProcedureToSave(m_document.Sequence().MadeFrom());
    try {
        if (target) HostProcedure::Write(m_document.Sequence(), target->heading, target->path);
    } catch (const ComError& error) {
        ShowError(error.Description());
    }
}

bool HostMainWindow::Open(const QString& path) {
    try {
        m_document.Open(path);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return false;
    }
    m_editor->Forget();
    Refresh();
    Select(0);
    OfferLeftover();
    return true;
}

void HostMainWindow::OfferLeftover() {
    HostSequence taken(m_plugIn);
    const QString leftover = HostVisitSaver::Leftover(m_document.File(), taken);
    if (leftover.isEmpty()) return;
    VariantArray parameters = VariantArray::FromList({Variant(m_document.File()), Variant(leftover)});
    const auto answer = m_environment.Messages()->Show(
        Text(QStringLiteral("1079::A save of %%1 did not end. It left %%2, newer than the file: it may hold "
                            "results the file does not. Open them?"),
             &parameters),
        MessageService::Icon::Question, MessageService::Buttons::YesNo, Text(QStringLiteral("1000::Orvex")));
    if (answer != MessageService::Answer::Yes) {
        // Offered again with the file until a save makes the file the newer one.
        qCInfo(lcHost, "%s is left where it is", qUtf8Printable(leftover));
        return;
    }
    // Saving it puts it into the file; until then the file is as it was.
    m_document.TakeLeftover(std::move(taken), leftover);
    Refresh();
    ShowTitle();
    Select(0);
}

bool HostMainWindow::SaveAs(const QString& path) {
    try {
        m_document.SaveAs(path);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return false;
    }
    ShowTitle();
    return true;
}

bool HostMainWindow::Save() {
    return m_document.File().isEmpty() ? SaveFromDialog() : SaveAs(m_document.File());
}

void HostMainWindow::SetDatabase(const QString& url, bool archive) {
    m_database = url;
    m_archive = archive;
    m_history->SetDatabase(url);
    m_history->Reload();
    m_fleet->SetDatabase(url);
}

HostResult<QString> HostMainWindow::WriteReport(const QString& pdfPath) {
    try {
        HostReportWriter writer(m_document.Sequence(), m_environment.Language());
        const auto noTrends = writer.ReadHistory(m_database);
        writer.WritePdf(pdfPath, HostReportWriter::Page::A4);
        QString told = HostLanguageService::HostText(QStringLiteral("1073::The report was written to %%1."),
                                                     VariantArray::FromList({Variant(pdfPath)}));
        if (noTrends) {
            told += QLatin1Char(' ') +
                    HostLanguageService::HostText(QStringLiteral("1091::The report shows no trends: %%1"),
                                                  VariantArray::FromList({Variant(*noTrends)}));
        }
        return told;
    } catch (const ComError& error) {
        return HostResult<QString>::Failed(error.Description());
    }
}

void HostMainWindow::Run(bool fromSelected) {
    if (m_document.Sequence().Tests().isEmpty()) return;
    const auto korotka = m_instrument->Chosen();
    if (!korotka) {
        ShowError(korotka.Why());
        return;
    }
    HostRun::Options options;
    options.first = fromSelected ? std::max(SelectedPosition(), 0) : 0;
    options.progress = [this](qsizetype position, HostSequence::Step step) { ShowProgress(position, step); };
    const auto outcome = [&] {
        const HostDialogOwner owner(this);
        return HostRun::Perform(m_document.Sequence(), *m_environment.Messages(), m_document.Saver(),
                                options);
    }();
    // The run stored results into the tests: an edit from before it, undone, would take them away.
    m_editor->Forget();
    HostRunEnd::Options ending;
    if (m_archive) ending.database = m_database;
    ending.command = QStringLiteral("open");
    const auto end = HostRunEnd::Close(m_document.Sequence(), outcome, m_document.Saver(), ending);
    ShowSaved();
    Refresh();
    for (const auto& notice : end.notices) Tell(notice);
    m_history->Reload();
    m_fleet->Reload();
}

bool HostMainWindow::AskToSave() {
    if (!m_document.Modified()) return true;
    const auto answer = m_environment.Messages()->Show(
        Text(QStringLiteral("1060::The sequence has changes that are not saved. Save them?")),
        MessageService::Icon::Question, MessageService::Buttons::YesNoCancel,
        Text(QStringLiteral("1000::Orvex")));
    if (answer == MessageService::Answer::Cancel) return false;
    if (answer == MessageService::Answer::Yes) return Save();
    // Given up: a recovery file of these changes would be offered again at the next start.
    m_document.GiveUp();
    return true;
}

void HostMainWindow::closeEvent(QCloseEvent* event) {
    if (AskToSave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void HostMainWindow::OpenFromDialog() {
    if (!AskToSave()) return;
    const QString path = HostFileChooser(this).SequenceToOpen();
    if (!path.isEmpty()) Open(path);
}

bool HostMainWindow::SaveFromDialog() {
    const QString path = HostFileChooser(this).SequenceToSave(m_document.File());
    return !path.isEmpty() && SaveAs(path);
}

void HostMainWindow::ReportFromDialog() {
    const QString path = HostFileChooser(this).ReportToWrite(m_document.File());
    if (path.isEmpty()) return;
    const auto told = WriteReport(path);
    if (!told) {
        ShowError(told.Why());
        return;
    }
    m_environment.Messages()->Show(*told, MessageService::Icon::Information, MessageService::Buttons::Ok,
                                   Text(QStringLiteral("1000::Orvex")));
}

}  // namespace orvex
