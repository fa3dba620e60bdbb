#include "HostMainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

#include "host/output/HostReportWriter.h"
#include "host/platform/HostInstrumentRegistry.h"
#include "host/platform/HostLanguageService.h"
#include "host/platform/HostLog.h"
#include "host/platform/HostMessageService.h"
#include "host/platform/HostPortTable.h"
#include "host/session/HostEnvironment.h"
#include "host/session/HostKorotka.h"
#include "host/ui/HostDockedDialog.h"
#include "host/ui/HostHistoryPanel.h"
#include "host/ui/HostSequenceEdit.h"
#include "host/visit/HostResultText.h"
#include "host/visit/HostRun.h"
#include "host/visit/HostVisitSaver.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IConfigData.h"
#include "hostapi/ICustomControl.h"
#include "hostapi/IDialog.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IPlugIn.h"
#include "hostapi/ISetup.h"
#include "hostapi/ITestElement.h"
#include "hostapi/Registry.h"
#include "hostapi/TestElementInfo.h"
#include "hostapi/TestElementList.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"

namespace orvex {

namespace {

enum Column { kColumnPosition, kColumnTest, kColumnConfiguration, kColumnStatus, kColumnValues };

constexpr int kConfigurationWidth = 300;
// The chooser's entry for the built-in simulator carries no device path.
const QString kSimulatorEntry;

// Column headings and asset field captions, in their order.
const std::array<QString, 5> kColumnLiterals{
    QStringLiteral("1030::#"), QStringLiteral("1031::Test"), QStringLiteral("1032::Configuration"),
    QStringLiteral("1033::Status"), QStringLiteral("1034::Readings")};
const std::array<QString, 5> kAssetLiterals{
    QStringLiteral("1041::Asset ID:"), QStringLiteral("1042::Make and model:"),
    QStringLiteral("1043::Serial number:"), QStringLiteral("1044::Location:"),
    QStringLiteral("1045::Technician:")};

QString Readings(const HostVisitRecord::Test& test) {
    QStringList readings;
    for (const HostVisitRecord::Reading& reading : test.readings) {
        if (!reading.shownWithUnit.isEmpty())
            readings << HostResultText::KeyValue(reading.key, reading.shownWithUnit);
    }
    return readings.join(QStringLiteral(", "));
}

}  // namespace

HostMainWindow::HostMainWindow(HostEnvironment& environment, std::shared_ptr<IPlugIn> plugIn,
                               SimulatorStarter simulator, QWidget* parent)
    : QMainWindow(parent),
      m_environment(environment),
      m_plugIn(std::move(plugIn)),
      m_startSimulator(std::move(simulator)),
      m_document(m_plugIn) {
    setObjectName(QStringLiteral("HostMainWindow"));
    m_lstSequence = new QTreeWidget(this);
    m_lstSequence->setObjectName(QStringLiteral("lstSequence"));
    m_lstSequence->setRootIsDecorated(false);
    m_lstSequence->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstSequence->setIconSize(QSize(16, 16));
    QStringList headings;
    for (const QString& literal : kColumnLiterals) headings << Text(literal);
    m_lstSequence->setHeaderLabels(headings);
    m_lstSequence->header()->setStretchLastSection(true);
    setCentralWidget(m_lstSequence);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->addWidget(BuildAssetPanel());
    sideLayout->addWidget(BuildInstrumentPanel());
    sideLayout->addStretch();
    m_history = new HostHistoryPanel(
        [this](const QString& literal, const VariantArray* parameters) { return Text(literal, parameters); },
        this);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabSide"));
    tabs->addTab(side, Text(QStringLiteral("1040::Service visit")));
    tabs->addTab(m_history, Text(QStringLiteral("1080::History")));
    auto* dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("dockVisit"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    // The tabs name what the panel shows; a title above them would say it twice.
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(tabs);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    BuildActions();
    connect(m_lstSequence, &QTreeWidget::itemDoubleClicked, this, [this] { Configure(); });
    // The history follows the test chosen in the sequence.
    connect(m_lstSequence, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int position = SelectedPosition();
        if (position >= 0)
            m_history->SelectTest(m_document.Sequence().Tests()[position]->TestID(), position + 1);
    });
    resize(1100, 560);
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
        {QStringLiteral("1001::&File"), QStringLiteral("1003::&Open..."), QKeySequence::Open,
         [this] { OpenFromDialog(); }, true},
        {QStringLiteral("1001::&File"), QStringLiteral("1004::&Save"), QKeySequence::Save, [this] { Save(); },
         true},
        {QStringLiteral("1001::&File"), QStringLiteral("1005::Save &as..."), QKeySequence::SaveAs,
         [this] { SaveFromDialog(); }, false},
        {QStringLiteral("1001::&File"), QStringLiteral("1006::&Report..."), QKeySequence::Print,
         [this] { ReportFromDialog(); }, true},
        {QStringLiteral("1001::&File"), QStringLiteral("1007::&Quit"), QKeySequence::Quit,
         [this] { close(); }, false},
        {QStringLiteral("1023::&Edit"), QStringLiteral("1024::&Undo"), QKeySequence::Undo,
         [this] { m_edits.undo(); }, false},
        {QStringLiteral("1023::&Edit"), QStringLiteral("1025::&Redo"), QKeySequence::Redo,
         [this] { m_edits.redo(); }, false},
        {QStringLiteral("1010::&Test"), QStringLiteral("1012::&Remove"), QKeySequence::Delete,
         [this] { RemoveSelected(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1013::Move &up"), QKeySequence(Qt::ALT | Qt::Key_Up),
         [this] { MoveSelected(-1); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1014::Move &down"),
         QKeySequence(Qt::ALT | Qt::Key_Down), [this] { MoveSelected(1); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1015::&Configure..."), QKeySequence(Qt::Key_F4),
         [this] { Configure(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1016::&Limits..."), QKeySequence(),
         [this] { EditLimits(); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1017::&Run from selected"), QKeySequence(Qt::Key_F5),
         [this] { Run(true); }, true},
        {QStringLiteral("1010::&Test"), QStringLiteral("1018::Run &all"),
         QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { Run(false); }, true},
        {QStringLiteral("1020::&Instrument"), QStringLiteral("1022::&Identify"), QKeySequence(),
         [this] { Identify(); }, false},
        {QStringLiteral("1020::&Instrument"), QStringLiteral("1021::Control &panel..."), QKeySequence(),
         [this] { ShowControlPanel(); }, true},
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
                QMenu* add = menu->addMenu(Text(QStringLiteral("1011::&Add test")));
                add->setObjectName(QStringLiteral("mnuAddTest"));
                const auto templates = m_plugIn->Tests();
                for (int32_t i = 1; templates && i <= templates->Count(); ++i) {
                    const auto element = templates->Item(i);
                    const int32_t testId = element->TestID();
                    QAction* action =
                        add->addAction(QIcon(m_plugIn->Icon(testId, 0, Variant())), element->Info()->Name());
                    connect(action, &QAction::triggered, this, [this, testId] { AddTest(testId); });
                }
                menu->addSeparator();
            }
        }
        QAction* action = menu->addAction(Text(item.literal));
        action->setObjectName(item.literal.section(QStringLiteral("::"), 0, 0));
        action->setShortcut(item.key);
        connect(action, &QAction::triggered, this, item.handler);
        if (item.onToolBar) toolBar->addAction(action);
    }
    QAction* undo = findChild<QAction*>(QStringLiteral("1024"));
    QAction* redo = findChild<QAction*>(QStringLiteral("1025"));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&m_edits, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&m_edits, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
}

QWidget* HostMainWindow::BuildAssetPanel() {
    auto* box = new QGroupBox(Text(QStringLiteral("1049::Asset under test")), this);
    auto* form = new QFormLayout(box);
    for (size_t i = 0; i < m_assetFields.size(); ++i) {
        m_assetFields[i] = new QLineEdit(box);
        m_assetFields[i]->setObjectName(QStringLiteral("txtAsset%1").arg(i));
        m_assetFields[i]->setMaxLength(HostSequence::kMaxFieldLength);
        form->addRow(Text(kAssetLiterals[i]), m_assetFields[i]);
        connect(m_assetFields[i], &QLineEdit::textChanged, this, [this] { TakeAsset(); });
    }
    return box;
}

QWidget* HostMainWindow::BuildInstrumentPanel() {
    auto* box = new QGroupBox(Text(QStringLiteral("1050::Instrument")), this);
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    m_cboDevice = new QComboBox(box);
    m_cboDevice->setObjectName(QStringLiteral("cboDevice"));
    m_cboDevice->setMinimumContentsLength(24);
    auto* identify = new QPushButton(Text(QStringLiteral("1022::&Identify")), box);
    identify->setObjectName(QStringLiteral("cmdIdentify"));
    connect(identify, &QPushButton::clicked, this, [this] { Identify(); });
    row->addWidget(m_cboDevice, 1);
    row->addWidget(identify);
    layout->addWidget(new QLabel(Text(QStringLiteral("1051::Device:")), box));
    layout->addLayout(row);
    m_lblIdentity = new QLabel(box);
    m_lblIdentity->setObjectName(QStringLiteral("lblIdentity"));
    m_lblIdentity->setWordWrap(true);
    layout->addWidget(m_lblIdentity);
    FillDevices();
    return box;
}

void HostMainWindow::FillDevices() {
    m_cboDevice->clear();
    if (m_startSimulator)
        m_cboDevice->addItem(Text(QStringLiteral("1052::Built-in simulator")), kSimulatorEntry);
    for (const QString& device : HostKorotka::SerialDevices()) m_cboDevice->addItem(device, device);
}

void HostMainWindow::ChooseDevice(const QString& devicePath) {
    int index = m_cboDevice->findData(devicePath);
    if (index < 0) {
        m_cboDevice->addItem(devicePath, devicePath);
        index = m_cboDevice->count() - 1;
    }
    m_cboDevice->setCurrentIndex(index);
}

void HostMainWindow::Refresh() {
    const int selected = SelectedPosition();
    m_lstSequence->clear();
    const HostVisitRecord::Configuration configuration{m_environment.Language()};
    const HostVisitRecord visit = HostVisitRecord::FromSequence(m_document.Sequence(), &configuration);
    int position = 0;
    for (const HostVisitRecord::Test& test : visit.tests) {
        auto* item = new QTreeWidgetItem(m_lstSequence);
        item->setText(kColumnPosition, QString::number(++position));
        ShowTest(*item, test);
    }
    FitColumns();
    Select(std::min(selected, position - 1));
    ShowAsset();
    ShowTitle();
}

void HostMainWindow::ShowTest(QTreeWidgetItem& item, const HostVisitRecord::Test& test) {
    item.setIcon(kColumnTest, QIcon(m_plugIn->Icon(test.testId, 0, Variant())));
    item.setText(kColumnTest, test.name);
    item.setText(kColumnConfiguration, test.configurationLine);
    item.setToolTip(kColumnConfiguration, item.text(kColumnConfiguration));
    item.setText(kColumnStatus, HostResultText::ShownStatus(test.status));
    // A row that showed the running test shows it no more.
    item.setData(kColumnStatus, Qt::ForegroundRole, QVariant());
    for (int column = kColumnPosition; column <= kColumnValues; ++column)
        item.setData(column, Qt::FontRole, QVariant());
    if (const QColor colour = HostResultText::StatusColour(test.status); colour.isValid())
        item.setForeground(kColumnStatus, colour);
    item.setText(kColumnValues, Readings(test));
}

void HostMainWindow::FitColumns() {
    for (int column = kColumnPosition; column < kColumnValues; ++column)
        m_lstSequence->resizeColumnToContents(column);
    // A long configuration keeps the status and readings in view; its tool-tip has it all.
    m_lstSequence->setColumnWidth(
        kColumnConfiguration,
        std::min(m_lstSequence->columnWidth(kColumnConfiguration), kConfigurationWidth));
}

void HostMainWindow::ShowProgress(qsizetype position, HostSequence::Step step) {
    QTreeWidgetItem* item = m_lstSequence->topLevelItem(static_cast<int>(position));
    if (item == nullptr) return;
    if (step == HostSequence::Step::Starting) {
        QFont bold = m_lstSequence->font();
        bold.setBold(true);
        for (int column = kColumnPosition; column <= kColumnValues; ++column) item->setFont(column, bold);
        item->setText(kColumnStatus, Text(QStringLiteral("1067::running")));
        item->setForeground(kColumnStatus, QColor(0, 0, 192));
        Select(static_cast<int>(position));
        m_lstSequence->scrollToItem(item);
    } else {
        const HostVisitRecord::Configuration configuration{m_environment.Language()};
        ShowTest(*item, HostVisitRecord::TestAt(m_document.Sequence(), position, &configuration));
        ShowSaved();
    }
    FitColumns();
}

int HostMainWindow::SelectedPosition() const {
    const auto selected = m_lstSequence->selectedItems();
    return selected.isEmpty() ? -1 : m_lstSequence->indexOfTopLevelItem(selected.first());
}

void HostMainWindow::Select(int position) {
    if (QTreeWidgetItem* item = m_lstSequence->topLevelItem(position)) {
        m_lstSequence->setCurrentItem(item);
        item->setSelected(true);
    }
}

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

void HostMainWindow::ShowAsset() {
    const auto& asset = m_document.Sequence().AssetUnderTest();
    const std::array<QString, 5> values{asset.id, asset.makeModel, asset.serialNo, asset.location,
                                        m_document.Sequence().Technician()};
    m_showingAsset = true;
    for (size_t i = 0; i < values.size(); ++i) {
        if (m_assetFields[i]->text() != values[i]) m_assetFields[i]->setText(values[i]);
    }
    m_showingAsset = false;
    m_history->ShowAsset(asset.id);
}

void HostMainWindow::TakeAsset() {
    if (m_showingAsset) return;
    try {
        m_document.Sequence().SetAsset({m_assetFields[0]->text(), m_assetFields[1]->text(),
                                        m_assetFields[2]->text(), m_assetFields[3]->text()});
        m_document.Sequence().SetTechnician(m_assetFields[4]->text());
    } catch (const ComError& error) {
        // The boxes hold no more than a field may; nothing else can refuse them.
        qCWarning(lcHost, "the asset was not taken: %s", error.what());
        return;
    }
    m_history->ShowAsset(m_document.Sequence().AssetUnderTest().id);
    SetModified();
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
    m_edits.clear();
    Refresh();
    ShowTitle();
    Select(0);
}

void HostMainWindow::NewSequence() {
    m_document.New();
    m_edits.clear();
    Refresh();
}

bool HostMainWindow::Open(const QString& path) {
    try {
        m_document.Open(path);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return false;
    }
    m_edits.clear();
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
}

bool HostMainWindow::WriteReport(const QString& pdfPath, QString* note) {
    try {
        HostReportWriter writer(m_document.Sequence(), m_environment.Language());
        const auto why = writer.ReadHistory(m_database);
        if (why && note) {
            VariantArray parameters = VariantArray::FromList({Variant(*why)});
            *note = Text(QStringLiteral("1091::The report shows no trends: %%1"), &parameters);
        }
        writer.WritePdf(pdfPath, HostReportWriter::Page::A4);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return false;
    }
    return true;
}

void HostMainWindow::AddTest(int32_t testId) {
    try {
        m_document.Sequence().Append(testId);
    } catch (const ComError& error) {
        ShowError(error.Description());
        return;
    }
    const int position = static_cast<int>(m_document.Sequence().Tests().size()) - 1;
    // Undone, the test is kept as it then is, for Redo to put back.
    auto kept = std::make_shared<std::shared_ptr<XmlElement>>();
    PushEdit(
        position - 1,
        [this, position, kept] {
            *kept = m_document.Sequence().Snapshot(position);
            m_document.Sequence().Remove(position);
        },
        position, [this, position, kept] { m_document.Sequence().Insert(position, *kept); });
}

void HostMainWindow::RemoveSelected() {
    const int position = SelectedPosition();
    if (position < 0) return;
    if (m_document.Sequence().HoldsResult(position)) {
        VariantArray parameters = VariantArray::FromList(
            {Variant(position + 1), Variant(m_document.Sequence().Tests()[position]->Info()->Name())});
        const auto answer = m_environment.Messages()->Show(
            Text(QStringLiteral("1078::Test %%1, %%2, holds a result. Remove it with its result?"),
                 &parameters),
            MessageService::Icon::Question, MessageService::Buttons::YesNo,
            Text(QStringLiteral("1000::Orvex")));
        if (answer != MessageService::Answer::Yes) return;
    }
    // Undone, the test comes back with its result and when it was performed.
    const auto kept = m_document.Sequence().Snapshot(position);
    m_document.Sequence().Remove(position);
    PushEdit(
        position, [this, position, kept] { m_document.Sequence().Insert(position, kept); }, position,
        [this, position] { m_document.Sequence().Remove(position); });
}

void HostMainWindow::MoveSelected(int delta) {
    const int from = SelectedPosition();
    const int to = from + delta;
    if (from < 0 || to < 0 || to >= m_document.Sequence().Tests().size()) return;
    m_document.Sequence().Move(from, to);
    PushEdit(
        from, [this, from, to] { m_document.Sequence().Move(to, from); }, to,
        [this, from, to] { m_document.Sequence().Move(from, to); });
}

void HostMainWindow::PushEdit(int undoneSelects, std::function<void()> undo, int redoneSelects,
                              std::function<void()> redo) {
    // Each way round the window shows the sequence as it then is, the test concerned selected.
    const auto apply = [this](std::function<void()> change, int selected) {
        return [this, change = std::move(change), selected] {
            try {
                change();
            } catch (const ComError& error) {
                ShowError(error.Description());
            }
            SetModified();
            Refresh();
            Select(std::clamp(selected, 0, static_cast<int>(m_document.Sequence().Tests().size()) - 1));
        };
    };
    m_edits.push(
        new HostSequenceEdit(apply(std::move(undo), undoneSelects), apply(std::move(redo), redoneSelects)));
    SetModified();
    Refresh();
    Select(std::clamp(redoneSelects, 0, static_cast<int>(m_document.Sequence().Tests().size()) - 1));
}

void HostMainWindow::Configure() {
    EditSelected(QStringLiteral("1070::Configuration"),
                 [](ITestElement& element) -> std::shared_ptr<IDialog> {
                     const auto configuration = element.Configuration();
                     if (!configuration || !configuration->HasDialog()) return nullptr;
                     return configuration->CreateDialog();
                 });
}

void HostMainWindow::EditLimits() {
    EditSelected(QStringLiteral("1071::Limits"), [](ITestElement& element) -> std::shared_ptr<IDialog> {
        const auto limits = element.Limits();
        return limits ? limits->CreateDialog() : nullptr;
    });
}

void HostMainWindow::EditSelected(const QString& titleLiteral,
                                  const std::function<std::shared_ptr<IDialog>(ITestElement&)>& dialogOf) {
    const int position = SelectedPosition();
    if (position < 0) return;
    const auto element = m_document.Sequence().Tests()[position];
    try {
        const auto view = dialogOf(*element);
        if (!view) return;
        const auto before = m_document.Sequence().Snapshot(position);
        HostDockedDialog dialog(view, element->Info()->Name() + QStringLiteral(" - ") + Text(titleLiteral),
                                this);
        connect(&dialog, &HostDockedDialog::Changed, this, [this] { SetModified(); });
        dialog.exec();
        const auto after = m_document.Sequence().Snapshot(position);
        if (before && after && before->Document()->ToText() != after->Document()->ToText()) {
            PushEdit(
                position, [this, position, before] { m_document.Sequence().Replace(position, before); },
                position, [this, position, after] { m_document.Sequence().Replace(position, after); });
        }
    } catch (const ComError& error) {
        ShowError(error.Description());
    }
    Refresh();
}

void HostMainWindow::ShowControlPanel() {
    try {
        const auto panel = ComponentRegistry::Instance().CreateAs<ISetup>(
            QStringLiteral("orvexKorotka.CKorotkaControlPanel"));
        panel->RegLoad(Registry::kHkeyLocalMachine, QString());
        const auto view = std::dynamic_pointer_cast<ICustomControl>(panel->CreateDialog());
        if (!view) return;
        view->Initialize(Variant(std::static_pointer_cast<IUnknown>(panel)));
        HostDockedDialog dialog(view, Text(QStringLiteral("1072::Control panel")),
                                HostDockedDialog::Buttons::OkCancel, this);
        if (dialog.exec() == QDialog::Accepted) panel->RegSave(Registry::kHkeyLocalMachine, QString());
    } catch (const ComError& error) {
        ShowError(error.Description());
    }
}

std::optional<HostMainWindow::Korotka> HostMainWindow::ChosenKorotka(QString& why) {
    const QString device = m_cboDevice->currentData().toString();
    std::optional<Korotka> korotka;
    if (device.isEmpty() && m_startSimulator) {
        korotka = m_startSimulator(why);
    } else if (!device.isEmpty()) {
        korotka = Korotka{device, {}, {}, nullptr};
    } else {
        why = Text(QStringLiteral("1055::Choose the device the Korotka is on."));
    }
    if (korotka) {
        HostKorotka::Register(m_environment, korotka->devicePath, korotka->serialNo, korotka->fwVersion);
    }
    return korotka;
}

void HostMainWindow::Run(bool fromSelected) {
    if (m_document.Sequence().Tests().isEmpty()) return;
    QString why;
    const auto korotka = ChosenKorotka(why);
    if (!korotka) {
        ShowError(why);
        return;
    }
    HostRun::Options options;
    options.first = fromSelected ? std::max(SelectedPosition(), 0) : 0;
    options.progress = [this](qsizetype position, HostSequence::Step step) { ShowProgress(position, step); };
    qApp->installEventFilter(this);
    const auto outcome =
        HostRun::Perform(m_document.Sequence(), *m_environment.Messages(), m_document.Saver(), options);
    qApp->removeEventFilter(this);
    // The run stored results into the tests: an edit from before it, undone, would take them away.
    m_edits.clear();
    HostRunEnd::Options ending;
    if (m_archive) ending.database = m_database;
    ending.command = QStringLiteral("open");
    const auto end = HostRunEnd::Close(m_document.Sequence(), outcome, m_document.Saver(), ending);
    ShowSaved();
    Refresh();
    for (const auto& notice : end.notices) Tell(notice);
    m_history->Reload();
}

QString HostMainWindow::Identify() {
    QString why;
    const auto korotka = ChosenKorotka(why);
    QString text;
    if (!korotka) {
        text = why;
    } else {
        try {
            const auto info = HostKorotka::Identify(m_environment, korotka->devicePath);
            VariantArray parameters =
                info ? VariantArray::FromList(
                           {Variant(info->name), Variant(info->serialNo), Variant(info->fwVersion)})
                     : VariantArray::FromList({Variant(korotka->devicePath)});
            text = info ? Text(QStringLiteral("1054::%%1, serial number %%2, firmware %%3"), &parameters)
                        : Text(QStringLiteral("1053::No Korotka answered on %%1."), &parameters);
        } catch (const ComError& error) {
            text = error.Description();
        }
    }
    m_lblIdentity->setText(text);
    return text;
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

bool HostMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // A window's show event comes before it is mapped: the window manager learns of its owner in time.
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    const Qt::WindowType type = widget->windowType();
    QWindow* shown = widget->windowHandle();
    if (widget != this && widget->isWindow() && widget->parentWidget() == nullptr &&
        (type == Qt::Window || type == Qt::Dialog) && shown != nullptr &&
        shown->transientParent() == nullptr) {
        QWidget* owner = QApplication::activeModalWidget();
        if (owner == nullptr || owner == widget) owner = this;
        shown->setTransientParent(owner->windowHandle());
    }
    return QMainWindow::eventFilter(watched, event);
}

void HostMainWindow::closeEvent(QCloseEvent* event) {
    if (AskToSave()) {
        event->accept();
    } else {
        event->ignore();
    }
}

QString HostMainWindow::Title(const QString& literal) const {
    QString text = Text(literal);
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    // "&&" is an ampersand shown; a single one marks the mnemonic.
    static const QRegularExpression kMnemonic(QStringLiteral("&(.)"));
    return text.replace(kMnemonic, QStringLiteral("\\1"));
}

QString HostMainWindow::AskSavePath(const QString& titleLiteral, const QString& suggested,
                                    const QString& filterLiteral, const QString& suffix) {
    QFileDialog dialog(this, Title(titleLiteral), suggested, Text(filterLiteral));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds it before it asks about replacing a file, and the Open dialog's filter then
    // shows the file.
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void HostMainWindow::OpenFromDialog() {
    if (!AskToSave()) return;
    const QString path =
        QFileDialog::getOpenFileName(this, Title(QStringLiteral("1003::&Open...")), QString(),
                                     Text(QStringLiteral("1062::Sequences (*.xml)")));
    if (!path.isEmpty()) Open(path);
}

bool HostMainWindow::SaveFromDialog() {
    const QString path = AskSavePath(QStringLiteral("1005::Save &as..."), m_document.File(),
                                     QStringLiteral("1062::Sequences (*.xml)"), QStringLiteral("xml"));
    return !path.isEmpty() && SaveAs(path);
}

void HostMainWindow::ReportFromDialog() {
    const QString suggested = m_document.File().isEmpty()
                                  ? QString()
                                  : QFileInfo(m_document.File()).path() + QLatin1Char('/') +
                                        QFileInfo(m_document.File()).completeBaseName() +
                                        QStringLiteral(".pdf");
    const QString path = AskSavePath(QStringLiteral("1006::&Report..."), suggested,
                                     QStringLiteral("1074::PDF files (*.pdf)"), QStringLiteral("pdf"));
    QString note;
    if (path.isEmpty() || !WriteReport(path, &note)) return;
    VariantArray parameters = VariantArray::FromList({Variant(path)});
    QString told = Text(QStringLiteral("1073::The report was written to %%1."), &parameters);
    if (!note.isEmpty()) told += QLatin1Char(' ') + note;
    m_environment.Messages()->Show(told, MessageService::Icon::Information, MessageService::Buttons::Ok,
                                   Text(QStringLiteral("1000::Orvex")));
}

}  // namespace orvex
