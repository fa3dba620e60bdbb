#include "CTestOverPressure.h"

#include "driver/GDeclares.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/results/CResultOverPressure.h"
#include "plugin/units/MConversions.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

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

// The instrument run of this test comes with the next version; Available() keeps Start from it.
void CTestOverPressure::RunTest(FTestGuide& /*guide*/) {}

bool& CTestOverPressure::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
