#include "CTestBase.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IResultData.h"
#include "hostapi/InstrumentData.h"
#include "hostapi/MessageService.h"
#include "hostapi/PerformContext.h"
#include "hostapi/StandardList.h"
#include "hostapi/TestElementBase.h"
#include "hostapi/VariantArray.h"
#include "hostapi/XmlElement.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/measure/CKorotkaLimitData.h"
#include "plugin/results/CResultBase.h"
#include "plugin/settings/MUtils.h"

namespace korotka {

using orvex::ComError;
using orvex::HostServices;
using orvex::Variant;
using orvex::VariantArray;

namespace {

const QString kTestElementBaseClass = QStringLiteral("OrvexTypeLib.TestElementBase");
const QString kResultTag = QStringLiteral("ResultItem");
const QString kFailedQuestion = QStringLiteral(
    "20705::The test failed. Do you want store this failed test result and continue with the next test?");
const QString kDiscardQuestion =
    QStringLiteral("20706::The readings of this test will be discarded. Go back to the previous test?");
const QString kApplicationTitle = QStringLiteral("20000::Korotka NIBP Analyzer");

// A step that may fail without stopping what it belongs to; the failure is logged.
template <class Step>
void Try(const QString& source, const char* what, Step step) {
    try {
        step();
    } catch (const ComError& error) {
        qCDebug(lcPlugIn, "%s: %s failed: %s", qUtf8Printable(source), what, error.what());
    }
}

}  // namespace

CTestBase::CTestBase(QString sourceName)
    : m_source(std::move(sourceName)),
      m_base(orvex::ComponentRegistry::Instance().CreateAs<orvex::TestElementBase>(kTestElementBaseClass)) {}

CTestBase::~CTestBase() = default;

QString CTestBase::PlugInID() { return m_base ? m_base->PlugInID() : QString(); }
int32_t CTestBase::TestID() { return m_base ? m_base->TestID() : 0; }
int32_t CTestBase::ID() { return m_base ? m_base->ID() : 0; }
void CTestBase::SetID(int32_t id) {
    if (m_base) m_base->SetID(id);
}
std::shared_ptr<orvex::ITestElement> CTestBase::Parent() { return m_base ? m_base->Parent() : nullptr; }
void CTestBase::SetParent(const std::shared_ptr<orvex::ITestElement>& parent) {
    if (m_base) m_base->SetParent(parent);
}
std::shared_ptr<orvex::TestElementInfo> CTestBase::Info() { return m_base ? m_base->Info() : nullptr; }
std::shared_ptr<orvex::TestElementFilter> CTestBase::Filter() { return m_base ? m_base->Filter() : nullptr; }
std::shared_ptr<orvex::IResultData> CTestBase::Result() { return m_base ? m_base->Result() : nullptr; }
std::shared_ptr<orvex::ILimitData> CTestBase::Limits() { return m_base ? m_base->Limits() : nullptr; }
std::shared_ptr<orvex::IConfigData> CTestBase::Configuration() {
    return m_base ? m_base->Configuration() : nullptr;
}

void CTestBase::Initialize(const QString& plugInId, int32_t testId, int32_t elementId) {
    if (!m_base) return;
    std::shared_ptr<orvex::IConfigData> configuration;
    Try(m_source, "creating the configuration", [&] { configuration = NewConfiguration(testId); });
    Try(m_source, "initialising the base", [&] { m_base->Initialize(plugInId, testId, elementId); });
    m_base->SetConfiguration(configuration);
    Try(m_source, "creating the limits", [&] {
        auto limits = std::make_shared<CKorotkaLimitData>();
        limits->SetOwner(shared_from_this());
        m_base->SetLimits(limits);
    });
}

std::shared_ptr<orvex::ITestElement> CTestBase::Clone() {
    try {
        auto clone = NewInstance();
        if (clone->m_base) clone->m_base->Terminate();
        clone->m_base = m_base ? m_base->Clone() : nullptr;
        if (const auto limits = clone->m_base
                                    ? std::dynamic_pointer_cast<CKorotkaLimitData>(clone->m_base->Limits())
                                    : nullptr) {
            limits->SetOwner(clone);
        }
        return clone;
    } catch (const ComError& error) {
        HandOn(error);
    }
}

void CTestBase::Load(const std::shared_ptr<orvex::XmlElement>& element, int32_t option) {
    try {
        if (!m_base) throw ComError(ComError::kObjectRequired, m_source, QStringLiteral("Object required"));
        // The result is made before it is read: the base loads into the records it is given.
        if (element && element->TagName() == kResultTag) m_base->SetResult(NewResult());
        m_base->Load(element, option);
    } catch (const ComError& error) {
        HandOn(error);
    }
}

std::shared_ptr<orvex::XmlElement> CTestBase::Save(const std::shared_ptr<orvex::XmlElement>& parent,
                                                   int32_t option) {
    try {
        if (!m_base) throw ComError(ComError::kObjectRequired, m_source, QStringLiteral("Object required"));
        return m_base->Save(parent, option);
    } catch (const ComError& error) {
        if (error.Number() == kErrSaveCancelled) throw;
        HandOn(error);
    }
}

void CTestBase::PrintReport(const std::shared_ptr<orvex::ReportContext>& report,
                            const std::shared_ptr<orvex::PrintJob>& job) {
    try {
        if (m_base) m_base->PrintReport(report, job);
    } catch (const ComError& error) {
        HandOn(error);
    }
}

bool CTestBase::QuerySetParent(const std::shared_ptr<orvex::ITestElement>& /*parent*/) { return true; }

void CTestBase::Terminate() {
    if (m_base) Try(m_source, "ending the base", [&] { m_base->Terminate(); });
    m_base.reset();
}

void CTestBase::UpdateReferences() {
    Try(m_source, "updating the references of the standards", [&] {
        const auto limits = Limits();
        if (!limits) return;
        if (const auto standards = limits->Standards()) standards->UpdateReferences(shared_from_this());
    });
}

Variant CTestBase::GetMeasurementList() {
    const std::vector<MeasurementName> names = MeasurementNames();
    if (names.empty()) return Variant(VariantArray());
    VariantArray list(0, static_cast<int32_t>(names.size()) - 1, 0, 1);
    for (size_t i = 0; i < names.size(); ++i) {
        const auto row = static_cast<int32_t>(i);
        list.At(row, 0) = Variant(names[i].key);
        QString name;
        Try(m_source, "translating a measurement name",
            [&] { name = MLanguage::Translate(names[i].literal); });
        list.At(row, 1) = Variant(name);
    }
    return Variant(list);
}

void CTestBase::Perform(const std::shared_ptr<orvex::PerformContext>& context) {
    // The host may let go of this element from a handler; it stays until Perform is over.
    const auto self = shared_from_this();
    bool perform = false;
    Try(m_source, "asking whether to perform", [&] { perform = context && context->QueryPerform(self); });
    if (!perform) return;
    Try(m_source, "making the result", [&] { EnsureResult(false); });
    m_context = context;
    // Each run starts afresh: nothing of an earlier run's outcome or instrument is carried over.
    m_stopRequested = false;
    m_measured = false;
    m_discarded = false;
    m_notApplicable = false;
    m_instrument.reset();

    QStringList instructions;
    for (const QString& literal : InstructionLiterals())
        instructions << MLanguage::TranslatedOrPlain(literal);
    std::vector<Variant> steps;
    for (const QString& text : instructions) steps.emplace_back(text);
    const auto guide = FTestGuide::Create();
    mfrmTestGuide = guide;
    ConnectGuide(*guide);
    PrepareGuide(*guide);
    guide->InitGuide(self, context, Variant(VariantArray::FromList(std::move(steps))),
                     ConfigurationSummary());
    guide->HighlightSteps(FirstHighlight());
    guide->exec();
    mfrmTestGuide.reset();
    Finish();
    m_context.reset();
}

void CTestBase::ConnectGuide(FTestGuide& guide) {
    const std::weak_ptr<CTestBase> weak = weak_from_this();
    const auto handle = [weak](void (CTestBase::*handler)()) {
        return [weak, handler] {
            if (const auto self = weak.lock()) ((*self).*handler)();
        };
    };
    QObject::connect(&guide, &FTestGuide::StartTest, &guide, handle(&CTestBase::OnStartTest));
    QObject::connect(&guide, &FTestGuide::StopTest, &guide, handle(&CTestBase::OnStopTest));
    QObject::connect(&guide, &FTestGuide::Abort, &guide, handle(&CTestBase::OnAbort));
    QObject::connect(&guide, &FTestGuide::PrevTest, &guide, handle(&CTestBase::OnPrevTest));
    QObject::connect(&guide, &FTestGuide::NextTest, &guide, handle(&CTestBase::OnNextTest));
    QObject::connect(&guide, &FTestGuide::NA, &guide, handle(&CTestBase::OnNA));
    QObject::connect(&guide, &FTestGuide::SkipTest, &guide, handle(&CTestBase::OnSkipTest));
}

void CTestBase::PrepareGuide(FTestGuide& /*guide*/) {}

Variant CTestBase::ErrorHighlight() const { return Variant(0); }

void CTestBase::Finish() {
    const auto self = shared_from_this();
    if (!m_base) return;
    if (m_discarded) {
        m_base->SetResult(nullptr);
        return;
    }
    if (m_notApplicable) {
        // Not applicable says nothing was measured: no reading of this or an earlier run stays.
        Try(m_source, "judging a not applicable result", [&] {
            const auto empty = EnsureResult(true);
            empty->Evaluate(m_base->Limits(), nullptr, true);
            empty->CreateServiceRecord(m_base->Filter());
        });
    } else {
        const auto result = std::dynamic_pointer_cast<CResultBase>(m_base->Result());
        if (!result || !m_measured) return;
        Try(m_source, "the service record", [&] { result->CreateServiceRecord(m_base->Filter()); });
        result->SetMTIID(InstrumentIndex());
    }
    if (m_context) Try(m_source, "storing the result", [&] { m_context->StoreResult(self); });
}

int32_t CTestBase::InstrumentIndex() {
    if (!m_context || !m_instrument) return 0;
    int32_t answer = 0;
    Try(m_source, "finding the instrument's index", [&] {
        if (!m_context->HasInstruments()) return;
        int32_t highest = 0;
        for (const auto& entry : m_context->Instruments()) {
            if (!entry || entry->PlugInID() != MLanguage::kPlugInId) continue;
            if (entry->MTIName() == m_instrument->MTIName()) {
                answer = entry->Index();
                return;
            }
            highest = std::max(highest, entry->Index());
        }
        answer = highest + 1;
        m_instrument->SetPlugInID(MLanguage::kPlugInId);
        m_instrument->SetIndex(answer);
        m_context->AddInstrument(m_instrument);
    });
    return answer;
}

std::shared_ptr<CResultBase> CTestBase::EnsureResult(bool fresh) {
    auto result = std::dynamic_pointer_cast<CResultBase>(m_base ? m_base->Result() : nullptr);
    if (!result || fresh) {
        result = NewResult();
        if (m_base) m_base->SetResult(result);
    }
    CreateMeasurements(*result);
    return result;
}

QString CTestBase::LimitUnitText() {
    const auto limits = std::dynamic_pointer_cast<CKorotkaLimitData>(Limits());
    return limits ? limits->GetUnitText() : QString();
}

std::shared_ptr<CKorotkaVTI> CTestBase::OpenInstrument() {
    auto vti = std::make_shared<CKorotkaVTI>();
    m_vti = vti;
    // A link that does not open leaves this run without an instrument, not with an earlier one's.
    m_instrument.reset();
    vti->SetCommTimeout(MUtils::CommTimeout());
    vti->SetCommTimeoutVent(MUtils::VentTimeout());
    m_instrument = vti->StartRemote();
    return vti;
}

void CTestBase::CloseInstrument() {
    const auto vti = std::exchange(m_vti, nullptr);
    if (vti) vti->EndRemote();
}

Variant CTestBase::Steps(std::initializer_list<int32_t> steps) {
    std::vector<Variant> values;
    for (const int32_t step : steps) values.emplace_back(step);
    return Variant(VariantArray::FromList(std::move(values)));
}

Variant CTestBase::FreshReply() {
    return Variant(VariantArray::FromList({Variant(0), Variant(""), Variant("")}));
}

Variant CTestBase::FreshReply(bool flag) {
    return Variant(VariantArray::FromList({Variant(0), Variant(""), Variant(""), Variant(flag)}));
}

void CTestBase::Evaluate(CResultBase& result, FTestGuide& guide) {
    result.Evaluate(Limits(), m_context ? m_context->Standards() : nullptr, false);
    guide.ShowResult(std::static_pointer_cast<orvex::IResultData>(result.shared_from_this()));
}

void CTestBase::OnStartTest() {
    bool& busy = Busy();
    if (busy) return;
    const auto self = shared_from_this();
    const auto guide = mfrmTestGuide;
    if (!guide) return;
    {
        const CFlagGuard busyGuard(busy);
        const CFlagGuard running(m_running);
        m_stopRequested = false;
        m_measured = true;
        m_discarded = false;
        m_deferred = nullptr;
        guide->ResumeSteps();
        // A Qt event handler: nothing may leave it.
        try {
            RunTest(*guide);
        } catch (const ComError& error) {
            if (error.Number() == FTestGuide::kErrStepEnded) {
                EndInterruptedRun();
            } else {
                RecoverFromError(&error);
            }
        } catch (const std::exception& error) {
            qCWarning(lcPlugIn, "%s: the test ended with an unexpected failure: %s", qUtf8Printable(m_source),
                      error.what());
            RecoverFromError(nullptr);
        } catch (...) {
            qCWarning(lcPlugIn, "%s: the test ended with an unexpected failure", qUtf8Printable(m_source));
            RecoverFromError(nullptr);
        }
    }
    m_vti.reset();
    // The way out the technician took meanwhile, now that the instrument is at rest.
    if (const auto deferred = std::exchange(m_deferred, nullptr)) (this->*deferred)();
}

void CTestBase::EndInterruptedRun() {
    const CFlagGuard ending(m_ending);
    const auto guide = mfrmTestGuide;
    const auto vti = m_vti;
    qCInfo(lcPlugIn, "%s: the run was ended before it was complete", qUtf8Printable(m_source));
    if (vti) {
        Try(m_source, "stopping the instrument", [&] {
            auto testId = static_cast<eTestId>(TestID());
            vti->StopTest(testId);
        });
        if (VentsWhenEnded() && guide) {
            Try(m_source, "venting the system", [&] {
                guide->ResumeSteps();
                guide->HighlightSteps(Variant(0));
                Variant vented = FreshReply();
                guide->RunInstrumentStep(vti, TESTID_VENT,
                                         Variant(VariantArray::FromList({Variant(TESTID_VENT)})), vented,
                                         static_cast<int16_t>(MUtils::VentTimeout()), false, false);
            });
        }
        Try(m_source, "releasing the instrument", [&] { CloseInstrument(); });
    }
    Try(m_source, "the test's own clean-up", [&] { ReleaseRunObjects(); });
    // What the interrupted run read is no reading: the result holds none of it.
    Try(m_source, "clearing the readings", [&] {
        if (const auto result = std::dynamic_pointer_cast<CResultBase>(Result())) {
            result->Clear();
            if (guide) guide->ShowResult(result);
        }
    });
    if (guide) {
        guide->ResumeSteps();
        Try(m_source, "putting the guide at rest", [&] {
            guide->SetRunning(false, ErrorHighlight());
            guide->SetMousePointer(FTestGuide::kPointerDefault);
        });
    }
}

bool CTestBase::DeferWhileRunning(void (CTestBase::*handler)()) {
    if (!m_running) return false;
    // The first way out taken is the one that counts.
    if (m_deferred == nullptr) m_deferred = handler;
    m_stopRequested = true;
    if (!m_ending && mfrmTestGuide) mfrmTestGuide->CancelStep();
    return true;
}

void CTestBase::RecoverFromError(const ComError* error) {
    const auto guide = mfrmTestGuide;
    const auto vti = m_vti;
    if (error) {
        qCWarning(lcPlugIn, "%s: the test ended on an error: %s", qUtf8Printable(m_source), error->what());
        // The driver has shown its own failures; a time-out it only raises, and the technician
        // must still learn why the test stopped.
        if (error->Number() != eeVTI_Error && !error->Description().isEmpty()) {
            Try(m_source, "telling the technician", [&] {
                HostServices::Messages()->Show(error->Description(), orvex::MessageService::Icon::Exclamation,
                                               orvex::MessageService::Buttons::Ok,
                                               MLanguage::TranslatedOrPlain(kApplicationTitle));
            });
        }
    }
    if (vti) {
        Try(m_source, "stopping the instrument", [&] {
            auto testId = static_cast<eTestId>(TestID());
            vti->StopTest(testId);
        });
        Try(m_source, "releasing the instrument", [&] { CloseInstrument(); });
    }
    Try(m_source, "the test's own clean-up", [&] { ReleaseRunObjects(); });
    Try(m_source, "the test's own error path", [&] { AfterError(); });
    if (guide) {
        Try(m_source, "putting the guide at rest", [&] {
            guide->SetRunning(false, ErrorHighlight());
            guide->SetMousePointer(FTestGuide::kPointerDefault);
        });
    }
}

void CTestBase::OnStopTest() {
    m_stopRequested = true;
    if (m_running && !m_ending && StopEndsStep() && mfrmTestGuide) mfrmTestGuide->CancelStep();
}

void CTestBase::OnAbort() {
    if (DeferWhileRunning(&CTestBase::OnAbort)) return;
    m_stopRequested = true;
    m_discarded = true;
    Navigate(orvex::PerformContext::NavigateAbort);
    HideGuide();
}

void CTestBase::OnPrevTest() {
    if (DeferWhileRunning(&CTestBase::OnPrevTest)) return;
    if (HoldsReadings() && !AnsweredYes(kDiscardQuestion, orvex::MessageService::Icon::Question,
                                        "asking whether to discard the readings", false))
        return;
    // Going back stores nothing of this run: the test keeps the result it had before.
    m_discarded = true;
    Navigate(orvex::PerformContext::NavigatePrevious);
    HideGuide();
}

bool CTestBase::AnsweredYes(const QString& literal, orvex::MessageService::Icon icon, const char* what,
                            bool unasked) {
    auto answer = unasked ? orvex::MessageService::Answer::Yes : orvex::MessageService::Answer::No;
    Try(m_source, what, [&] {
        answer = HostServices::Messages()->Show(MLanguage::Translate(literal), icon,
                                                orvex::MessageService::Buttons::YesNo,
                                                MLanguage::TranslatedOrPlain(kApplicationTitle));
    });
    return answer == orvex::MessageService::Answer::Yes;
}

bool CTestBase::HoldsReadings() {
    const auto result = std::dynamic_pointer_cast<CResultBase>(Result());
    return m_measured && result && result->HasReadings();
}

void CTestBase::OnNextTest() {
    if (DeferWhileRunning(&CTestBase::OnNextTest)) return;
    const auto guide = mfrmTestGuide;
    const auto result = std::dynamic_pointer_cast<CResultBase>(Result());
    if (m_measured && result) {
        bool failed = false;
        Try(m_source, "judging the result", [&] {
            result->Evaluate(Limits(), m_context ? m_context->Standards() : nullptr, false);
            failed = result->Status() == orvex::IResultData::kFailed;
        });
        if (failed) {
            if (guide) guide->ShowResult(result);
            if (!AnsweredYes(kFailedQuestion, orvex::MessageService::Icon::Exclamation,
                             "asking whether to keep a failed result", true))
                return;
        }
    }
    m_stopRequested = true;
    Navigate(orvex::PerformContext::NavigateNext);
    HideGuide();
}

void CTestBase::OnNA() {
    if (DeferWhileRunning(&CTestBase::OnNA)) return;
    m_notApplicable = true;
    Navigate(orvex::PerformContext::NavigateNext);
    HideGuide();
}

void CTestBase::OnSkipTest() {
    if (DeferWhileRunning(&CTestBase::OnSkipTest)) return;
    m_discarded = true;
    Navigate(orvex::PerformContext::NavigateNext);
    HideGuide();
}

void CTestBase::Navigate(int32_t action) {
    if (m_context) Try(m_source, "telling the sequence where to go", [&] { m_context->Navigate(action); });
}

void CTestBase::HideGuide() {
    if (mfrmTestGuide) mfrmTestGuide->hide();
}

void CTestBase::HandOn(const ComError& error) const {
    HostServices::Errors()->ReportError(error, m_source);
    throw error;
}

}  // namespace korotka
