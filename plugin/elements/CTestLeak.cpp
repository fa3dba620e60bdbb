#include "CTestLeak.h"

#include <algorithm>
#include <cstdint>

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/CFlagGuard.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/results/CResultLeak.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"
#include "plugin/views/XTestDetails.h"

namespace korotka {

using orvex::Variant;
using orvex::VariantArray;

namespace {

// Elements of the instrument request.
constexpr int32_t kTestIdElement = 0;
constexpr int32_t kPressureElement = 1;  // whole mmHg, as text
constexpr int32_t kUnitElement = 2;
constexpr int32_t kDurationElement = 3;  // seconds, as text; the pass flag in the gauge's copy
constexpr int32_t kPassElement = 3;
constexpr int32_t kCustomElement = 4;

const QString kUnreachableReply = QStringLiteral("ERROR");
const QString kNotReachedLiteral = QStringLiteral("20740::The inflate pressure could not be reached.");
// Readings that restart the clock while the pressure settles, and after how many the progress counts.
constexpr int32_t kSettlingReadings = 4;
constexpr int32_t kReadingsBeforeTiming = 3;
// A settling reading below this share of the inflate pressure means the pressure was not reached.
constexpr float kReachedShare = 0.8F;

// The pressure lost per minute, exact to the readings' decimals: a drop of 2.1 over 60 s is 2.1,
// not the single arithmetic's 2.100006.
float RatePerMinute(float start, float end, int64_t seconds) {
    constexpr int kGuardDecimals = 2;
    const float drop = MConversions::Difference(start, end);
    const double rate = static_cast<double>(drop) * 60.0 / static_cast<double>(seconds);
    return static_cast<float>(MUtils::Round(rate, MConversions::DecimalsOf(drop) + kGuardDecimals));
}

}  // namespace

CTestLeak::CTestLeak() : CTestBase(kSource) {}

std::shared_ptr<CTestBase> CTestLeak::NewInstance() const { return std::make_shared<CTestLeak>(); }

std::shared_ptr<orvex::IConfigData> CTestLeak::NewConfiguration(int32_t /*testId*/) const {
    return std::make_shared<CConfigLeak>();
}

std::shared_ptr<CResultBase> CTestLeak::NewResult() const { return std::make_shared<CResultLeak>(); }

void CTestLeak::CreateMeasurements(CResultBase& result) {
    if (auto* record = dynamic_cast<CResultLeak*>(&result)) record->CreateMeasurements(LimitUnitText());
}

std::vector<CTestBase::MeasurementName> CTestLeak::MeasurementNames() {
    return {{MMeasureKey::kDiff, QStringLiteral("20371::Pressure Drop")},
            {MMeasureKey::kRate, QStringLiteral("20372::Leak Rate")}};
}

QStringList CTestLeak::InstructionLiterals() const {
    return {QStringLiteral("20741::1. Attach the cuff and/or the monitor according to the configuration."),
            QStringLiteral(
                "20742::2. If applicable, power on the blood pressure unit, and wait until it is ready."),
            QStringLiteral("20743::3. Click start to begin the test."),
            QStringLiteral("20744::4. Wait for the inflate pressure to be reached."),
            QStringLiteral("20745::5. Wait for the system to vent.")};
}

Variant CTestLeak::FirstHighlight() const { return Variant(-1); }

Variant CTestLeak::ConfigurationSummary() {
    const auto config = std::dynamic_pointer_cast<CConfigLeak>(Configuration());
    return config ? Variant(config->GetDescription()) : Variant();
}

void CTestLeak::RunTest(FTestGuide& guide) {
    m_timing = false;
    guide.SetMousePointer(FTestGuide::kPointerHourglass);
    guide.SetRunning(true, Steps({4}));
    guide.ShowProgressBar(true, false);
    guide.EnableNextButton(false);
    const auto result = std::dynamic_pointer_cast<CResultLeak>(Result());
    if (!result)
        throw orvex::ComError(orvex::ComError::kObjectRequired, kSource, QStringLiteral("no result"));
    result->Clear();
    guide.ShowResult(result);
    VariantArray parameters;
    if (const auto config = std::dynamic_pointer_cast<CConfigLeak>(Configuration())) {
        parameters = config->GetTestParameters();
        parameters.At(kTestIdElement) = Variant(TESTID_PRESS_LEAK);
    }

    const auto vti = OpenInstrument();
    const std::weak_ptr<CTestBase> weak = weak_from_this();
    mfrmTimer = std::make_unique<FTimer>();
    QObject::connect(mfrmTimer.get(), &FTimer::TimerTick, mfrmTimer.get(), [weak] {
        if (const auto self = std::static_pointer_cast<CTestLeak>(weak.lock())) self->TimerTick();
    });
    m_elapsed = 0;

    Variant reply = FreshReply();
    if (parameters.Count() > kCustomElement && parameters.At(kCustomElement).Equals(Variant(true))) {
        RunCustomDuration(guide, vti, parameters, reply);
    } else {
        RunStandard(guide, vti, parameters, reply);
    }
    mfrmTimer.reset();

    if (!reply.ToArray().At(1).ToString().isEmpty()) {
        result->SetResult(reply.ToArray());
        Evaluate(*result, guide);
    }
    auto stopId = TESTID_PRESS_LEAK;
    vti->StopTest(stopId);
    CloseInstrument();
    guide.SetRunning(false, Variant(0));
}

void CTestLeak::RunStandard(FTestGuide& guide, const std::shared_ptr<CKorotkaVTI>& vti,
                            const VariantArray& parameters, Variant& reply) {
    mfrmTimer->StartTimer();
    {
        const CFlagGuard standardStep(m_standardStep);
        guide.RunInstrumentStep(vti, TESTID_PRESS_LEAK, Variant(parameters), reply,
                                static_cast<int16_t>(MUtils::LeakTimeout()), true, true);
    }
    guide.SetMousePointer(FTestGuide::kPointerDefault);
    if (reply.ToArray().At(1).Equals(Variant(kUnreachableReply))) {
        throw orvex::ComError(kErrPressureNotReached, kSource,
                              MLanguage::TranslatedOrPlain(kNotReachedLiteral));
    }
}

void CTestLeak::RunCustomDuration(FTestGuide& guide, const std::shared_ptr<CKorotkaVTI>& vti,
                                  const VariantArray& parameters, Variant& reply) {
    VariantArray request = parameters;
    int32_t duration = request.At(kDurationElement).ToLong();
    request.At(kPassElement) = Variant(false);
    guide.SetSetpoint(Variant());
    guide.SetManometer(Variant());
    guide.SetElapsedTime(Variant(0));
    guide.SetProgressPercent(0);

    // To pressure with the source, then the gauge once it holds it.
    reply = FreshReply(false);
    guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(request), reply,
                            static_cast<int16_t>(MUtils::CommTimeout()), false, false);
    request.At(kPassElement) = Variant(true);
    guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(request), reply,
                            static_cast<int16_t>(MUtils::PSourceTimeout()), false, false);
    guide.SetPressureUnit(reply.ToArray().At(2).ToString());
    if (reply.ToArray().At(1).IsNumeric()) {
        guide.SetManometer(reply.ToArray().At(1));
        guide.UpdateProgress();
    }
    guide.SetMousePointer(FTestGuide::kPointerDefault);
    guide.HighlightSteps(Variant(0));
    if (duration != 0) guide.ShowProgressBar(true, false);
    // Stop may have been pressed while the pressure was built: it then stays pressed.
    guide.SetStopEnabled(!StopRequested());

    // The inflate pressure in the unit the Korotka reads in.
    const float target = MConversions::ConvertUnits(request.At(kPressureElement).ToSingle(), epmuMMHG,
                                                    request.At(kUnitElement).ToLong());
    int32_t readings = 0;
    float reading = 0.0F;
    float startPressure = 0.0F;
    bool complete = false;
    do {
        reply = FreshReply(true);
        guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(request), reply,
                                static_cast<int16_t>(MUtils::CommTimeout()), false, false);
        VariantArray& fields = reply.ToArray();
        const bool numeric = fields.At(1).IsNumeric();
        if (numeric) guide.SetManometer(fields.At(1));
        if (readings < kSettlingReadings) {
            // Settling: the pressure must still be near the target, and each reading restarts the clock.
            if (numeric) reading = fields.At(1).ToSingle();
            if (kReachedShare * target > reading) {
                throw orvex::ComError(kErrPressureNotReached, kSource,
                                      MLanguage::TranslatedOrPlain(kNotReachedLiteral));
            }
            startPressure = reading;
            guide.SetSetpoint(Variant(reading));
            ++readings;
            m_elapsed = 0;
            guide.SetElapsedTime(Variant(0));
            mfrmTimer->StartTimer();
        } else {
            m_timing = true;
        }
        if (duration != 0) {
            if (readings >= kReadingsBeforeTiming) {
                complete = m_elapsed >= duration;
                guide.SetProgressPercent(static_cast<int16_t>(
                    std::min<int64_t>(static_cast<int64_t>(m_elapsed) * 100 / duration, INT16_MAX)));
                guide.UpdateProgress();
            }
        } else {
            complete = StopRequested();
            if (complete) duration = m_elapsed;
        }
        if (complete && numeric) {
            // An interval of no time has no rate: the result stays without values.
            fields.At(1) = duration > 0
                               ? Variant(RatePerMinute(startPressure, fields.At(1).ToSingle(), duration))
                               : Variant(QString());
        }
    } while (!StopRequested() && !complete);
    mfrmTimer->StopTimer();
    if (!complete) reply.ToArray().At(1) = Variant(QString());

    // Vent.
    guide.SetMousePointer(FTestGuide::kPointerHourglass);
    guide.SetStopEnabled(false);
    guide.ShowProgressBar(true, false);
    guide.Details()->SetShowProgress(false);
    guide.HighlightSteps(Steps({5}));
    Variant vented = FreshReply();
    guide.RunInstrumentStep(vti, TESTID_VENT, Variant(request), vented,
                            static_cast<int16_t>(MUtils::VentTimeout()), false, false);
    guide.SetMousePointer(FTestGuide::kPointerDefault);
}

void CTestLeak::TimerTick() {
    ++m_elapsed;
    if (m_timing) {
        if (const auto guide = TestGuide()) {
            guide->SetElapsedTime(Variant(m_elapsed));
            guide->UpdateProgress();
        }
    }
    if (mfrmTimer) mfrmTimer->StartTimer();
}

void CTestLeak::ReleaseRunObjects() {
    mfrmTimer.reset();
    m_standardStep = false;
}

bool& CTestLeak::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
