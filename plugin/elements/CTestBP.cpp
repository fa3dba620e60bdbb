#include "CTestBP.h"

#include "driver/GDeclares.h"
#include "plugin/base/MLanguage.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/results/CResultBP.h"
#include "plugin/units/MMeasureKey.h"

namespace korotka {

using orvex::Variant;

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

// The simulation run comes with the next version; Available() keeps Start from it.
void CTestBP::RunTest(FTestGuide& /*guide*/) {}

bool& CTestBP::Busy() {
    static bool busy = false;
    return busy;
}

}  // namespace korotka
