#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "hostapi/ITestElement.h"
#include "hostapi/MessageService.h"
#include "plugin/base/PlugInErrors.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class ComError;
class InstrumentData;
class TestElementBase;
}  // namespace orvex

namespace korotka {

class CKorotkaVTI;
class CResultBase;
class FTestGuide;

// What the four test elements share: the host-side state kept in the host's test element base,
// the configuration, limits and result records, and Perform, which runs one test with the
// technician in the test guide window. A test adds its records, its measurements and
// instructions, and its StartTest.
class KOROTKA_PLUGIN_EXPORT CTestBase : public orvex::ITestElement,
                                        public std::enable_shared_from_this<CTestBase> {
public:
    // A save the host itself cancelled: handed on as it is.
    static constexpr int32_t kErrSaveCancelled = PlugInErrors::kSaveCancelled;

    ~CTestBase() override;

    QString PlugInID() override;
    int32_t TestID() override;
    int32_t ID() override;
    void SetID(int32_t id) override;
    std::shared_ptr<orvex::ITestElement> Parent() override;
    void SetParent(const std::shared_ptr<orvex::ITestElement>& parent) override;
    std::shared_ptr<orvex::TestElementInfo> Info() override;
    std::shared_ptr<orvex::TestElementFilter> Filter() override;
    std::shared_ptr<orvex::IResultData> Result() override;
    std::shared_ptr<orvex::ILimitData> Limits() override;
    std::shared_ptr<orvex::IConfigData> Configuration() override;
    void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) override;
    std::shared_ptr<orvex::ITestElement> Clone() override;
    void Perform(const std::shared_ptr<orvex::PerformContext>& context) override;
    void Load(const std::shared_ptr<orvex::XmlElement>& element, int32_t option) override;
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>& parent,
                                            int32_t option) override;
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report,
                     const std::shared_ptr<orvex::PrintJob>& job) override;
    bool QuerySetParent(const std::shared_ptr<orvex::ITestElement>& parent) override;
    void Terminate() override;
    void UpdateReferences() override;
    // Key and translated name of each measurement of the test, one row each.
    orvex::Variant GetMeasurementList() override;

    // The run's outcome flags, as the handlers left them.
    bool StopRequested() const { return m_stopRequested; }
    bool Discarded() const { return m_discarded; }
    bool NotApplicable() const { return m_notApplicable; }
    // The window of the running Perform; none outside it.
    std::shared_ptr<FTestGuide> TestGuide() const { return mfrmTestGuide; }

protected:
    struct MeasurementName {
        QString key;
        QString literal;
    };

    // sourceName: "OrvexKorotka." and the class name, for errors.
    explicit CTestBase(QString sourceName);

    // A new object of the same class, not initialised.
    virtual std::shared_ptr<CTestBase> NewInstance() const = 0;
    // The configuration with the test's defaults; none for a test id the class does not know.
    virtual std::shared_ptr<orvex::IConfigData> NewConfiguration(int32_t testId) const = 0;
    virtual std::shared_ptr<CResultBase> NewResult() const = 0;
    // Gives a result its measurements for the configuration and limits of this element.
    virtual void CreateMeasurements(CResultBase& result) = 0;
    virtual std::vector<MeasurementName> MeasurementNames() = 0;
    virtual QStringList InstructionLiterals() const = 0;
    // The instructions marked when the window opens.
    virtual orvex::Variant FirstHighlight() const = 0;
    // The configuration's summary rows for the details view.
    virtual orvex::Variant ConfigurationSummary() = 0;
    // The test's own StartTest, after the common entry; errors go to the caller's error path.
    virtual void RunTest(FTestGuide& guide) = 0;
    // The highlight the error path leaves.
    virtual orvex::Variant ErrorHighlight() const;
    // Set while StartTest runs; one per class, so that a second Start never enters.
    virtual bool& Busy() = 0;
    // Called before the window is shown.
    virtual void PrepareGuide(FTestGuide& guide);
    // What the test's error path does beyond the common one (the blood-pressure test discards).
    virtual void AfterError() {}
    // Lets go of what only a running test holds (its one-second clock, the pop-up); after an
    // error and after a run ended early.
    virtual void ReleaseRunObjects() {}
    // Whether Stop ends the running step at once (a step that holds the pressure by itself);
    // otherwise Stop only ends the reading loop after its pass.
    virtual bool StopEndsStep() const { return false; }
    // Whether the system is vented when a run is ended early: the pressure tests build pressure.
    virtual bool VentsWhenEnded() const { return true; }

    // Creates the instrument object with the Comm and Vent time-outs and opens the link; the
    // instrument-data object it returns is this run's.
    std::shared_ptr<CKorotkaVTI> OpenInstrument();
    // EndRemote, once: the link is closed and the run holds no instrument any more.
    void CloseInstrument();
    // The result record of base, made (with its measurements) when there is none or fresh is set.
    std::shared_ptr<CResultBase> EnsureResult(bool fresh);
    std::shared_ptr<orvex::TestElementBase> Base() const { return m_base; }
    // The unit text the element's limits are in ("mmHg", "kPa/min"); empty without limits.
    QString LimitUnitText();
    static orvex::Variant Steps(std::initializer_list<int32_t> steps);
    // (0, empty, empty): what an instrument step fills in.
    static orvex::Variant FreshReply();
    // (0, empty, empty, flag): the reply of the tests that carry a fourth element.
    static orvex::Variant FreshReply(bool flag);
    // The result judged against the limits and the run's standards, then shown.
    void Evaluate(CResultBase& result, FTestGuide& guide);
    void SetDiscarded(bool discarded) { m_discarded = discarded; }

private:
    void OnStartTest();
    void OnStopTest();
    void OnAbort();
    void OnPrevTest();
    void OnNextTest();
    void OnNA();
    void OnSkipTest();
    // This run measured something, or the technician typed a reading.
    bool HoldsReadings();
    // Whether the technician answers Yes to the question; `unasked` when it cannot be asked.
    bool AnsweredYes(const QString& literal, orvex::MessageService::Icon icon, const char* what,
                     bool unasked);
    // A way out of the window while StartTest runs: the step is ended first, then the handler runs.
    bool DeferWhileRunning(void (CTestBase::*handler)());
    // Ends the run that a way out or Stop interrupted: the instrument stopped, the system vented
    // where the test builds pressure, the link closed and the guide at rest.
    void EndInterruptedRun();
    void ConnectGuide(FTestGuide& guide);
    void HideGuide();
    // Where the sequence goes after the window closes: a PerformContext::Navigation.
    void Navigate(int32_t action);
    void Finish();
    int32_t InstrumentIndex();
    // After an error in StartTest: the instrument is stopped and released and the guide idle.
    void RecoverFromError(const orvex::ComError* error);
    [[noreturn]] void HandOn(const orvex::ComError& error) const;

    QString m_source;
    std::shared_ptr<orvex::TestElementBase> m_base;
    bool m_stopRequested = false;
    bool m_measured = false;
    bool m_discarded = false;
    bool m_notApplicable = false;
    // StartTest of this element is on the stack, and the way out taken meanwhile.
    bool m_running = false;
    bool m_ending = false;
    void (CTestBase::*m_deferred)() = nullptr;
    std::shared_ptr<orvex::PerformContext> m_context;
    std::shared_ptr<orvex::InstrumentData> m_instrument;
    std::shared_ptr<CKorotkaVTI> m_vti;
    std::shared_ptr<FTestGuide> mfrmTestGuide;
};

}  // namespace korotka
