#pragma once

#include "plugin/base/PlugInErrors.h"
#include "plugin/elements/CTestBase.h"

namespace korotka {

class CResultStaticPressure;

// Test 300: the Korotka holds the inflate pressure (or only reads its gauge) and shows its
// manometer until Stop; the technician types what the equipment under test showed, and the
// result compares the two.
class KOROTKA_PLUGIN_EXPORT CTestStaticPressure : public CTestBase {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CTestStaticPressure");
    static inline const QString kKorotkaValueLiteral = QStringLiteral("20651::Korotka value");
    static constexpr float kDefaultPressureMmHg = 250.0F;
    // The inflate pressure could not be reached.
    static constexpr int32_t kErrPressureNotReached = PlugInErrors::kPressureNotReached;

    CTestStaticPressure();

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
    void PrepareGuide(FTestGuide& guide) override;

private:
    // A reading in the reply's first field becomes MANO (and DIFF follows); anything else is left.
    static void TakeReading(CResultStaticPressure& result, const orvex::Variant& reply);
};

}  // namespace korotka
