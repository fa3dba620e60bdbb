#include "CTestOverPressure.h"

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/results/CResultOverPressure.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;
using orvex::VariantArray;

namespace {

// The configured inflate pressure in the request, in the configured unit.
constexpr int32_t kPressureElement = 4;
const QString kNotReachedLiteral = QStringLiteral("20740::The inflate pressure could not be reached.");

}  // namespace

CTestOverPressure::CTestOverPressure() : CTestBase(kSource) {}

std::shared_ptr<CTestBase> CTestOverPressure::NewInstance() const {
    return std::make_shared<CTestOverPressure>();
}

std::shared_ptr<orvex::IConfigData> CTestOverPressure::NewConfiguration(int32_t /*testId*/) const {
    auto config = std::make_shared<CConfigPressure>();
    config->SetInflatePressure(
        MConversions::ConvertUnits(kDefaultPressureMmHg, epmuMMHG, config->PressureUnit()));
    return config;
}

std::shared_ptr<CResultBase> CTestOverPressure::NewResult() const {
    return std::make_shared<CResultOverPressure>();
}

void CTestOverPressure::CreateMeasurements(CResultBase& result) {
    if (auto* record = dynamic_cast<CResultOverPressure*>(&result))
        record->CreateMeasurements(LimitUnitText());
}

std::vector<CTestBase::MeasurementName> CTestOverPressure::MeasurementNames() {
    return {{MMeasureKey::kPeak, QStringLiteral("20373::Monitor Release Pressure")},
            {MMeasureKey::kMrel, QStringLiteral("20760::Monitor Release")}};
}

QStringList CTestOverPressure::InstructionLiterals() const {
    return {QStringLiteral("20761::1. Attach the cuff and the blood pressure unit to the Korotka."),
            QStringLiteral("20762::2. Power on the blood pressure unit, and wait until it is ready."),
            QStringLiteral("20763::3. Click start to begin the test.")};
}

Variant CTestOverPressure::FirstHighlight() const { return Variant(-1); }

Variant CTestOverPressure::ConfigurationSummary() {
    const auto config = std::dynamic_pointer_cast<CConfigPressure>(Configuration());
    return config ? Variant(config->GetDescription()) : Variant();
}

void CTestOverPressure::RunTest(FTestGuide& guide) {
    guide.SetRunning(true, Variant(0));
    guide.SetMousePointer(FTestGuide::kPointerHourglass);
    const auto result = std::dynamic_pointer_cast<CResultOverPressure>(Result());
    if (!result)
        throw orvex::ComError(orvex::ComError::kObjectRequired, kSource, QStringLiteral("no result"));
    result->Clear();
    guide.ShowResult(result);
    VariantArray parameters;
    if (const auto config = std::dynamic_pointer_cast<CConfigPressure>(Configuration())) {
        parameters = config->GetTestParameters();
    }

    // The relief test runs on its own once started; the step below only collects its answer.
    const auto vti = OpenInstrument();
    Variant request(parameters);
    vti->StartTest(request);
    const std::weak_ptr<CTestBase> weak = weak_from_this();
    mfrmTimer = std::make_unique<FTimer>();
    QObject::connect(mfrmTimer.get(), &FTimer::TimerTick, mfrmTimer.get(), [weak] {
        if (const auto self = std::static_pointer_cast<CTestOverPressure>(weak.lock())) self->TimerTick();
    });
    m_elapsed = 0;
    mfrmTimer->StartTimer();

    Variant reply = FreshReply(false);
    guide.RunInstrumentStep(vti, TESTID_PRESS_RELIEF, Variant(parameters), reply,
                            static_cast<int16_t>(MUtils::ReliefTimeout()), true, false);
    VariantArray& fields = reply.ToArray();
    if (!fields.At(1).IsNumeric()) fields.At(1) = Variant(0);
    if (fields.At(1).ToSingle() == 0.0F) {
        throw orvex::ComError(kErrPressureNotReached, kSource,
                              MLanguage::TranslatedOrPlain(kNotReachedLiteral));
    }
    // Released below the configured pressure: the valve did its work.
    fields.At(3) = Variant(parameters.At(kPressureElement).ToSingle() > fields.At(1).ToSingle());
    result->SetResult(fields);
    Evaluate(*result, guide);

    auto stopId = TESTID_PRESS_RELIEF;
    vti->StopTest(stopId);
    CloseInstrument();
    guide.SetRunning(false, Variant(0));
    guide.SetMousePointer(FTestGuide::kPointerDefault);
    mfrmTimer.reset();
}

void CTestOverPressure::TimerTick() {
    ++m_elapsed;
    if (const auto guide = TestGuide()) {
        guide->SetElapsedTime(Variant(m_elapsed));
        guide->UpdateProgress();
    }
    if (mfrmTimer) mfrmTimer->StartTimer();
}

void CTestOverPressure::ReleaseRunObjects() { mfrmTimer.reset(); }

bool& CTestOverPressure::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
