#include "CTestBP.h"

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/results/CResultBP.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;
using orvex::VariantArray;

namespace {

const QString kPleaseWait = QStringLiteral("20200::Please wait...");
const QString kStartNow = QStringLiteral("20201::PLEASE START NIBP NOW");
// The acknowledgement with which the simulator reports that it is ready.
constexpr int32_t kReady = 6;
constexpr int kPromptWaits = 6;
constexpr int kPromptWaitMs = 500;

}  // namespace

CTestBP::CTestBP() : CTestBase(kSource) {}

void CTestBP::Initialize(const QString& /*plugInId*/, int32_t testId, int32_t elementId) {
    CTestBase::Initialize(MLanguage::kPlugInId, testId, elementId);
}

std::shared_ptr<CTestBase> CTestBP::NewInstance() const { return std::make_shared<CTestBP>(); }

std::shared_ptr<orvex::IConfigData> CTestBP::NewConfiguration(int32_t testId) const {
    if (!MMeasureKey::IsBloodPressureTest(testId)) return nullptr;
    auto config = std::make_shared<CConfigPBP>();
    config->SetTestType(testId - TESTID_BP_STD);
    return config;
}

std::shared_ptr<CResultBase> CTestBP::NewResult() const { return std::make_shared<CResultBP>(); }

void CTestBP::CreateMeasurements(CResultBase& result) {
    if (auto* record = dynamic_cast<CResultBP*>(&result)) {
        record->CreateMeasurements(std::dynamic_pointer_cast<CConfigPBP>(Configuration()));
    }
}

std::vector<CTestBase::MeasurementName> CTestBP::MeasurementNames() {
    const auto config = std::dynamic_pointer_cast<CConfigPBP>(Configuration());
    if (!config) return {};
    std::vector<MeasurementName> names = {{MMeasureKey::kSyst, QStringLiteral("20350::Systolic")},
                                          {MMeasureKey::kDias, QStringLiteral("20351::Diastolic")},
                                          {MMeasureKey::kHart, QStringLiteral("20353::Heart Rate")}};
    if (config->TestType() != ebpStandard)
        names.push_back({MMeasureKey::kMapr, QStringLiteral("20352::MAP")});
    return names;
}

QStringList CTestBP::InstructionLiterals() const {
    return {QStringLiteral("20700::1. Attach the cuff and the blood pressure unit to the Korotka."),
            QStringLiteral("20701::2. Click start to run the simulation."),
            QStringLiteral("20702::3. Wait for the Korotka to become ready."),
            QStringLiteral("20703::4. Start the blood pressure unit."),
            QStringLiteral("20704::5. Record the values reported by the blood pressure unit.")};
}

Variant CTestBP::FirstHighlight() const { return Steps({1, 2}); }

// The blood-pressure configuration describes itself in its view; the details show no summary.
Variant CTestBP::ConfigurationSummary() { return {}; }

void CTestBP::RunTest(FTestGuide& guide) {
    guide.SetMousePointer(FTestGuide::kPointerHourglass);
    guide.ShowProgressBar(true, false);
    guide.SetRunning(true, Steps({3}));
    guide.ShowPopup(kPleaseWait, QStringLiteral("WAIT"), true);

    const auto result = std::dynamic_pointer_cast<CResultBP>(Result());
    const auto config = std::dynamic_pointer_cast<CConfigPBP>(Configuration());
    if (!result)
        throw orvex::ComError(orvex::ComError::kObjectRequired, kSource, QStringLiteral("no result"));
    VariantArray parameters;
    if (config) parameters = config->GetTestParameters();
    result->Clear(config);
    guide.ShowResult(result);

    const auto vti = OpenInstrument();
    Variant request(parameters);
    vti->StartTest(request);
    const bool ready = WaitForReady(guide, *vti);
    auto stopId = TESTID_BP;
    vti->StopTest(stopId);
    CloseInstrument();

    if (ready) {
        guide.HighlightSteps(Steps({4, 5}));
        guide.ShowPopup(kStartNow, QStringLiteral("START"), true);
        // The prompt stays three seconds, the window answering all the while.
        for (int i = 0; i < kPromptWaits; ++i) guide.Wait(kPromptWaitMs);
        guide.HidePopup();
        guide.SetMousePointer(FTestGuide::kPointerDefault);
        guide.SetRunning(false, Steps({4, 5}));
        guide.EndMeasurement();
    } else {
        guide.HidePopup();
        guide.SetMousePointer(FTestGuide::kPointerDefault);
        result->AddFlag(QStringLiteral("I"));
        guide.SetRunning(false, Steps({1, 2}));
    }
}

bool CTestBP::WaitForReady(FTestGuide& guide, CKorotkaVTI& vti) {
    int32_t polls = 0;
    for (;;) {
        guide.WaitForNextPoll();
        if (StopRequested()) return false;
        Variant reply = FreshReply();
        int32_t testId = TESTID_BP;
        vti.GetTestResult(testId, reply);
        if (reply.ToArray().At(0).Equals(Variant(kReady))) return true;
        // Any other status is "not yet", however often it comes.
        if (++polls > MUtils::CommTimeout()) vti.TimeOut();
    }
}

Variant CTestBP::ErrorHighlight() const { return Steps({1, 2}); }

void CTestBP::AfterError() { SetDiscarded(true); }

void CTestBP::ReleaseRunObjects() {
    if (const auto guide = TestGuide()) guide->HidePopup();
}

bool& CTestBP::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
