#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

#include "host/archive/HostRunEnd.h"
#include "host/platform/HostExport.h"
#include "host/platform/HostResult.h"
#include "host/ui/HostInstrumentPanel.h"
#include "host/visit/HostSequence.h"
#include "host/visit/HostVisitDocument.h"

namespace orvex {

class HostAssetPanel;
class HostEnvironment;
class HostFleetPanel;
class HostHistoryPanel;
class HostRepeatsPanel;
class HostSequenceEditor;
class HostSequenceList;
class IPlugIn;
class VariantArray;

// The window a technician works a service visit in: the sequence of tests with their status and
// readings, the asset under test and the technician, the Korotka to use; tests are added from the
// plug-in's templates, configured, given limits, run in the guide windows, saved and reported.
class ORVEX_HOST_EXPORT HostMainWindow : public QMainWindow {
    Q_OBJECT

public:
    using Korotka = HostInstrumentPanel::Korotka;
    using SimulatorStarter = HostInstrumentPanel::SimulatorStarter;

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
    HostFleetPanel& Fleet() { return *m_fleet; }

    // Each reports its failure in a message box and returns false.
    bool Open(const QString& path);
    bool SaveAs(const QString& path);
    // What the technician is told of the report written (one without trends, the history being
    // unreadable, says why), or why there is none.
    HostResult<QString> WriteReport(const QString& pdfPath);
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

private:
    void BuildActions();
    // The sequence, the asset and the title as the document now is.
    void Refresh();
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
    bool Save();
    bool AskToSave();
    void ShowError(const QString& text);
    void OpenFromDialog();
    void NewFromProcedure();
    void SaveAsProcedure();
    bool SaveFromDialog();
    void ReportFromDialog();

    HostEnvironment& m_environment;
    std::shared_ptr<IPlugIn> m_plugIn;
    HostVisitDocument m_document;
    QString m_database;
    bool m_archive = true;

    HostSequenceList* m_lstSequence = nullptr;
    HostSequenceEditor* m_editor = nullptr;
    HostAssetPanel* m_asset = nullptr;
    HostInstrumentPanel* m_instrument = nullptr;
    HostHistoryPanel* m_history = nullptr;
    HostFleetPanel* m_fleet = nullptr;
    HostRepeatsPanel* m_repeats = nullptr;
};

}  // namespace orvex
