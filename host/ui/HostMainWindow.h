#pragma once

#include <QMainWindow>
#include <QString>
#include <QUndoStack>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "host/archive/HostRunEnd.h"
#include "host/archive/HostVisitRecord.h"
#include "host/platform/HostExport.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVisitDocument.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace orvex {

class HostEnvironment;
class HostHistoryPanel;
class IDialog;
class IPlugIn;
class VariantArray;

// The window a technician works a service visit in: the sequence of tests with their status and
// readings, the asset under test and the technician, the Korotka to use; tests are added from the
// plug-in's templates, configured, given limits, run in the guide windows, saved and reported.
class ORVEX_HOST_EXPORT HostMainWindow : public QMainWindow {
    Q_OBJECT

public:
    // A Korotka to run against; keepAlive holds whatever must live while it is used (a simulator).
    struct Korotka {
        QString devicePath;
        QString serialNo;
        QString fwVersion;
        std::shared_ptr<void> keepAlive;
    };
    // Starts the built-in simulator; none, with the reason, when it cannot.
    using SimulatorStarter = std::function<std::optional<Korotka>(QString& why)>;

    HostMainWindow(HostEnvironment& environment, std::shared_ptr<IPlugIn> plugIn, SimulatorStarter simulator,
                   QWidget* parent = nullptr);
    ~HostMainWindow() override;

    HostSequence& Sequence() { return m_document.Sequence(); }
    QString FileName() const { return m_document.File(); }
    bool IsModified() const { return m_document.Modified(); }

    // The results database runs are archived in and the history is read from (empty: the
    // default one); archive false: runs are not stored.
    void SetDatabase(const QString& url, bool archive);
    HostHistoryPanel& History() { return *m_history; }

    // Each reports its failure in a message box and returns false.
    bool Open(const QString& path);
    bool SaveAs(const QString& path);
    // A report without trends, the history being unreadable, says why in note.
    bool WriteReport(const QString& pdfPath, QString* note = nullptr);
    void NewSequence();
    void AddTest(int32_t testId);
    // The position (from 0) of the selected test; -1 when none is.
    int SelectedPosition() const;
    void Select(int position);
    // The device the chooser offers: the serial ports found, and the built-in simulator.
    void ChooseDevice(const QString& devicePath);
    // Runs from the selected test, or all of them, in the guide windows; each test's result is
    // saved as it ends (an untitled sequence into a recovery file).
    void Run(bool fromSelected);
    // Offers to open the newest results a crash or a failed save left in the recovery folder.
    void OfferRecovery();
    // Where the results of the untitled or unsaveable sequence are kept; empty when in its file.
    QString RecoveryFile() const { return m_document.Saver().Kept(); }
    // The Korotka's identity, as shown beside the device chooser.
    QString Identify();
    // The host's translation of one of its literals.
    QString Text(const QString& literal, const VariantArray* parameters = nullptr) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // While a run is on, a window shown without a parent (a test guide, a question) is kept above
    // the window that was in front: the main window, or the modal one over it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    QWidget* BuildAssetPanel();
    QWidget* BuildInstrumentPanel();
    void FillDevices();
    void Refresh();
    // The test's name, configuration, status and readings in its row.
    void ShowTest(QTreeWidgetItem& item, const HostVisitRecord::Test& test);
    void FitColumns();
    // The running test's row is marked and in view; a row shows its result as its test ends.
    void ShowProgress(qsizetype position, HostSequence::Step step);
    void ShowTitle();
    void SetModified();
    // The title tells whether the last save reached the file.
    void ShowSaved();
    // Shows what a run's end tells the technician: where its results are when they did not reach
    // the file (and offers to save them elsewhere), and why the visit was not archived.
    void Tell(const HostRunEnd::Notice& notice);
    // Offers what a save of the opened file left when it did not end, newer than the file.
    void OfferLeftover();
    void ShowAsset();
    void TakeAsset();
    bool Save();
    bool AskToSave();
    void ShowError(const QString& text);
    void MoveSelected(int delta);
    void RemoveSelected();
    // An edit done, put on the undo stack with what undoes it and what does it again, and the
    // position (from 0) each leaves selected.
    void PushEdit(int undoneSelects, std::function<void()> undo, int redoneSelects,
                  std::function<void()> redo);
    // The dialog of the selected test's configuration or limits; a change can be undone.
    void EditSelected(const QString& titleLiteral,
                      const std::function<std::shared_ptr<IDialog>(ITestElement&)>& dialog);
    void Configure();
    void EditLimits();
    void ShowControlPanel();
    void OpenFromDialog();
    bool SaveFromDialog();
    // A file name asked for in the file dialog; one typed without a suffix gets the filter's.
    QString AskSavePath(const QString& titleLiteral, const QString& suggested, const QString& filterLiteral,
                        const QString& suffix);
    // A menu text as a window title: "Save &as..." titles a window "Save as".
    QString Title(const QString& literal) const;
    void ReportFromDialog();
    std::optional<Korotka> ChosenKorotka(QString& why);

    HostEnvironment& m_environment;
    std::shared_ptr<IPlugIn> m_plugIn;
    SimulatorStarter m_startSimulator;
    HostVisitDocument m_document;
    bool m_showingAsset = false;
    QString m_database;
    bool m_archive = true;

    QTreeWidget* m_lstSequence = nullptr;
    std::array<QLineEdit*, 5> m_assetFields{};
    QComboBox* m_cboDevice = nullptr;
    QLabel* m_lblIdentity = nullptr;
    HostHistoryPanel* m_history = nullptr;
    // Edit > Undo and Redo: adding, removing, moving, configuring and the limits of tests. A run
    // stores results into the tests, so the edits before it are no longer undone.
    QUndoStack m_edits;
};

}  // namespace orvex
