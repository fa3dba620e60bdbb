#pragma once

#include "plugin/elements/CTestBase.h"

namespace korotka {

// Test 100: the cuff system is inflated and its pressure drop and leak rate measured.
class KOROTKA_PLUGIN_EXPORT CTestLeak : public CTestBase {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CTestLeak");
    CTestLeak();

protected:
    std::shared_ptr<CTestBase> NewInstance() const override;
    std::shared_ptr<orvex::IConfigData> NewConfiguration(int32_t testId) const override;
    std::shared_ptr<CResultBase> NewResult() const override;
    void CreateMeasurements(CResultBase& result) override;
    std::vector<MeasurementName> MeasurementNames() override;
    QStringList InstructionLiterals() const override;
    orvex::Variant FirstHighlight() const override;
    orvex::Variant ConfigurationSummary() override;
    void RunTest(FTestGuide& guide) override;
    bool& Busy() override;
    bool Available() const override { return false; }
};

}  // namespace korotka
