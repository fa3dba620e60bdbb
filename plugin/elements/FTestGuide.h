#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/Variant.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ControlCallBack;
class IResultData;
class ITestElement;
class PerformContext;
class VariantArray;
class XTgContentPane;
class XTgToolbar;
class XTgButton;
}  // namespace orvex

namespace korotka {

class CKorotkaVTI;
class IKorotkaResultView;
class XTestDetails;
class XTestInstruction;

// The modal window in which the technician runs one test: the host's tool bar, the numbered
// instructions with the live values, the result view and a pop-up message. The test element that
// opens it hears its events and drives it; the window also runs the instrument steps, because it
// owns the message loop while a test runs.
//
// Make it with Create: the window is then released with deleteLater, so a handler that lets go of
// it while one of the window's own handlers is still on the stack (the close box during a running
// step) does not pull it away from under that handler.
class KOROTKA_PLUGIN_EXPORT FTestGuide : public QDialog, public std::enable_shared_from_this<FTestGuide> {
    Q_OBJECT

public:
    // What a step raises when the element asked it to end (CancelStep): no instrument failure,
    // so nobody is told about it.
    static constexpr int32_t kErrStepEnded = PlugInErrors::kStepEnded;
    // However fast the instrument answers, polls come no closer than this: the line is not
    // flooded and the window has the time between them.
    static constexpr int kPollIntervalMs = 250;

    // Mouse pointers the elements ask for.
    static constexpr int16_t kPointerDefault = 0;
    static constexpr int16_t kPointerHourglass = 11;

    static std::shared_ptr<FTestGuide> Create(QWidget* parent = nullptr);
    ~FTestGuide() override;

    orvex::Variant Manometer() const { return m_manometer; }
    void SetManometer(const orvex::Variant& value) { m_manometer = value; }
    int16_t ProgressPercent() const { return m_progressPercent; }
    void SetProgressPercent(int16_t percent) { m_progressPercent = percent; }
    void SetElapsedTime(const orvex::Variant& value) { m_elapsedTime = value; }
    orvex::Variant Setpoint() const { return m_setpoint; }
    void SetSetpoint(const orvex::Variant& value) { m_setpoint = value; }
    QString PressureUnit() const { return m_pressureUnit; }
    void SetPressureUnit(const QString& unit) { m_pressureUnit = unit; }

    // Sets the window up for the element: caption, tool bar, instructions, the result view for
    // the test with the element's configuration, result and limits, and the buttons.
    // configuration: the summary rows the details view shows under the instructions.
    void InitGuide(const std::shared_ptr<orvex::ITestElement>& element,
                   const std::shared_ptr<orvex::PerformContext>& context, const orvex::Variant& instructions,
                   const orvex::Variant& configuration);
    void ShowResult(const std::shared_ptr<orvex::IResultData>& result);
    // The result view stops taking typed readings.
    void BeginMeasurement();
    // Next goes off and the result view takes the technician's readings.
    void EndMeasurement();
    void EnableNextButton(bool enabled);
    void SetRunning(bool running, const orvex::Variant& steps);
    void EnableNavigation(bool enabled);
    void ShowProgressBar(bool shown, bool showPercent);
    void SetStopEnabled(bool enabled);
    // Marks the instruction numbers listed (an array); -1 or 0 marks none.
    void HighlightSteps(const orvex::Variant& steps);
    // Shows ProgressPercent on the bar and the live values in the details view.
    void UpdateProgress();
    // A text with one of the library's bitmaps ("START", "WAIT") over the content pane.
    void ShowPopup(const QString& text, const QString& imageName, bool shown);
    void HidePopup();
    void SetStatus(const QString& text = QString(), bool progressShown = false);
    void SetMousePointer(int16_t pointer);
    int16_t MousePointer() const { return m_mousePointer; }

    // Starts the instrument test and polls it, one reply window at a time, until the reply's
    // status is not 0 (and, with needSecondField, its first field is not empty), then stops it.
    // At maxPolls the instrument's TimeOut raises the driver's time-out error, which goes to the
    // caller without this step's StopTest. Input is processed between polls, so the tool bar
    // answers while the step runs.
    void RunInstrumentStep(const std::shared_ptr<CKorotkaVTI>& instrument, int32_t testId,
                           const orvex::Variant& parameters, orvex::Variant& results, int16_t maxPolls,
                           bool showProgress, bool needSecondField);
    // Lets the window handle its input until the next poll is due; raises kErrStepEnded when the
    // element has asked the running step to end meanwhile.
    void WaitForNextPoll();
    // Lets the window handle its input for so long; raises kErrStepEnded as WaitForNextPoll.
    void Wait(int milliseconds);
    // Asks the running step to end at its next poll (a way out of the window, or Stop where the
    // step itself holds the pressure). Cleared by ResumeSteps.
    void CancelStep() { m_stepCancelled = true; }
    void ResumeSteps() { m_stepCancelled = false; }

    std::shared_ptr<IKorotkaResultView> ResultView() const;
    std::shared_ptr<orvex::XTgToolbar> Toolbar() const { return m_xtbToolbar; }
    XTestDetails* Details() const { return m_xtdDetails.get(); }

signals:
    void StartTest();
    void StopTest();
    void Abort();
    void PrevTest();
    void NextTest();
    void NA();
    void SkipTest();
    // After UpdateProgress has shown the live values: one per gauge reading while a test reads
    // its gauge. For whoever watches the window (a scripted technician, a recorder), who finds it
    // by GuideWindowNames::kValuesShownSignal.
    void ValuesShown();

protected:
    // The close box does not close: the technician is asked whether to abort the sequence.
    void closeEvent(QCloseEvent* event) override;
    // Escape is a close box too.
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    explicit FTestGuide(QWidget* parent);

    void OnButtonClick(const std::shared_ptr<orvex::XTgButton>& button, bool flag);
    void OnResultViewEvent(const QString& eventName, const orvex::VariantArray& parameters);
    void StopAction();
    void AskAbort();
    void ConfigureButtons(const std::shared_ptr<orvex::ITestElement>& element);
    void CreateResultView(int32_t testId);
    void ShowFirstStandard(IKorotkaResultView& view, const std::shared_ptr<orvex::PerformContext>& context,
                           bool calculated);
    void SetButtonEnabled(int32_t number, bool enabled);
    bool ButtonEnabled(int32_t number) const;
    void ShowResultStatus();
    void ThrowIfCancelled() const;
    // Whether Skip or N/A may be pressed now: the guide settings allow it, and without settings
    // only while no step runs.
    bool ChoiceOffered(bool allowed, bool navigationEnabled) const;
    void LayOut();

    std::weak_ptr<orvex::ITestElement> m_element;
    std::shared_ptr<orvex::XTgContentPane> m_xcpContents;
    std::shared_ptr<orvex::XTgToolbar> m_xtbToolbar;
    std::shared_ptr<XTestDetails> m_xtdDetails;
    std::shared_ptr<orvex::IUnknown> m_xrvResult;
    std::shared_ptr<orvex::ControlCallBack> m_resultEvents;
    std::unique_ptr<XTestInstruction> m_xtiPopup;

    bool m_started = false;
    bool m_hasResult = false;
    bool m_skipAllowed = false;
    bool m_notApplicableAllowed = false;
    bool m_progressPending = false;
    // The configuration carries guide settings: Skip and N/A then follow their bits, also while a
    // step runs (pressing one ends the step first).
    bool m_hasGuideSettings = false;
    bool m_stepCancelled = false;
    QElapsedTimer m_lastPoll;
    int16_t m_mousePointer = kPointerDefault;

    orvex::Variant m_manometer;
    int16_t m_progressPercent = 0;
    orvex::Variant m_elapsedTime;
    orvex::Variant m_setpoint;
    QString m_pressureUnit;
};

}  // namespace korotka
