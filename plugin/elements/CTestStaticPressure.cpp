#include "CTestStaticPressure.h"

#include "driver/CKorotkaVTI.h"
#include "driver/GDeclares.h"
#include "hostapi/ComError.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/MLanguage.h"
#include "plugin/base/PlugInLog.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/elements/FTestGuide.h"
#include "plugin/measure/CMeasurement.h"
#include "plugin/results/CResultStaticPressure.h"
#include "plugin/settings/MUtils.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;
using orvex::VariantArray;

namespace {

// Elements of the instrument request.
constexpr int32_t kTestIdElement = 0;
constexpr int32_t kPassElement = 3;
const QString kUnreachableReply = QStringLiteral("ERROR");
const QString kNotReachedLiteral = QStringLiteral("20740::The inflate pressure could not be reached.");

}  // namespace

CTestStaticPressure::CTestStaticPressure() : CTestBase(kSource) {}

std::shared_ptr<CTestBase> CTestStaticPressure::NewInstance() const {
    return std::make_shared<CTestStaticPressure>();
}

std::shared_ptr<orvex::IConfigData> CTestStaticPressure::NewConfiguration(int32_t /*testId*/) const {
    auto config = std::make_shared<CConfigPressure>();
    config->SetInflatePressure(
        MConversions::ConvertUnits(kDefaultPressureMmHg, epmuMMHG, config->PressureUnit()));
    config->SetShowNoPumpCheckbox(true);
    return config;
}

std::shared_ptr<CResultBase> CTestStaticPressure::NewResult() const {
    return std::make_shared<CResultStaticPressure>();
}

void CTestStaticPressure::CreateMeasurements(CResultBase& result) {
    if (auto* record = dynamic_cast<CResultStaticPressure*>(&result))
        record->CreateMeasurements(LimitUnitText());
}

std::vector<CTestBase::MeasurementName> CTestStaticPressure::MeasurementNames() {
    return {{MMeasureKey::kStat, QStringLiteral("20370::Pressure")},
            {MMeasureKey::kMano, QStringLiteral("20374::Korotka Pressure")},
            {MMeasureKey::kDiff, QStringLiteral("20375::Difference")}};
}

QStringList CTestStaticPressure::InstructionLiterals() const {
    return {QStringLiteral("20720::1. Attach equipment to the Korotka."),
            QStringLiteral("20721::2. Click the start button to begin."),
            QStringLiteral("20722::3. Wait for the inflate pressure to be reached."),
            QStringLiteral("20723::4. Note what the pressure reading is on the equipment under test."),
            QStringLiteral("20724::5. Click the stop button to end the test."),
            QStringLiteral("20725::6. Type in the pressure reading that was noted in step 4.")};
}

Variant CTestStaticPressure::FirstHighlight() const { return Steps({1, 2}); }

Variant CTestStaticPressure::ConfigurationSummary() {
    const auto config = std::dynamic_pointer_cast<CConfigPressure>(Configuration());
    return config ? Variant(config->GetDescription()) : Variant();
}

bool& CTestStaticPressure::Busy() {
    static bool busy = false;
    return busy;
}

void CTestStaticPressure::PrepareGuide(FTestGuide& guide) { guide.SetStatus(kKorotkaValueLiteral, false); }

void CTestStaticPressure::TakeReading(CResultStaticPressure& result, const Variant& reply) {
    const Variant reading = reply.ToArray().At(1);
    if (!reading.IsNumeric()) {
        qCDebug(lcPlugIn, "static pressure: a reply that is no reading is left out");
        return;
    }
    result.SetManometer(reading.ToSingle());
}

void CTestStaticPressure::RunTest(FTestGuide& guide) {
    guide.SetMousePointer(FTestGuide::kPointerHourglass);
    guide.SetRunning(true, Steps({3}));
    guide.ShowProgressBar(true, false);
    guide.EnableNextButton(false);

    const auto result = std::dynamic_pointer_cast<CResultStaticPressure>(Result());
    if (!result)
        throw orvex::ComError(orvex::ComError::kObjectRequired, kSource, QStringLiteral("no result"));
    guide.BeginMeasurement();
    result->Clear();
    guide.ShowResult(result);

    VariantArray parameters;
    if (const auto config = std::dynamic_pointer_cast<CConfigPressure>(Configuration())) {
        parameters = config->GetTestParameters();
        parameters.At(kTestIdElement) = Variant(TestID());
    }
    const auto vti = OpenInstrument();

    // A Korotka that cannot build the pressure says "ERROR": reading its gauge on would judge the
    // equipment at a pressure nobody set.
    const auto requireReached = [](const Variant& answer) {
        if (answer.ToArray().At(1).Equals(Variant(kUnreachableReply))) {
            throw orvex::ComError(kErrPressureNotReached, kSource,
                                  MLanguage::TranslatedOrPlain(kNotReachedLiteral));
        }
    };
    // First pass: the pressure source switched on (or the gauge alone without a pump).
    Variant reply = FreshReply();
    guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(parameters), reply,
                            static_cast<int16_t>(MUtils::CommTimeout()), false, false);
    requireReached(reply);
    // Second pass: the gauge, once the source holds the pressure.
    parameters.At(kPassElement) = Variant(true);
    reply = FreshReply();
    guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(parameters), reply,
                            static_cast<int16_t>(MUtils::PSourceTimeout()), false, false);
    requireReached(reply);
    TakeReading(*result, reply);

    guide.SetMousePointer(FTestGuide::kPointerDefault);
    guide.ShowProgressBar(false, false);
    guide.HighlightSteps(Steps({4, 5}));
    // Stop may have been pressed while the pressure was built: it then stays pressed.
    guide.SetStopEnabled(!StopRequested());

    // The gauge until Stop: at least one pass, whatever was pressed meanwhile.
    do {
        reply = FreshReply();
        guide.RunInstrumentStep(vti, TESTID_PRESS_STATIC, Variant(parameters), reply,
                                static_cast<int16_t>(MUtils::CommTimeout()), false, false);
        TakeReading(*result, reply);
        guide.ShowResult(result);
        // The live value in the details too, with the same reading the result holds.
        if (const auto manometer = result->MeasurementByKey(MMeasureKey::kMano)) {
            guide.SetManometer(manometer->GetValue());
        }
        guide.UpdateProgress();
    } while (!StopRequested());

    CloseInstrument();
    guide.SetRunning(false, Steps({6}));
    guide.EndMeasurement();
}

}  // namespace korotka
