#include "CTestLeak.h"

#include "driver/GDeclares.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/results/CResultLeak.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

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

// The instrument run of this test comes with the next version; Available() keeps Start from it.
void CTestLeak::RunTest(FTestGuide& /*guide*/) {}

bool& CTestLeak::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
