#pragma once

#include "plugin/base/PlugInErrors.h"
#include "plugin/elements/CTestBase.h"
#include "plugin/elements/FTimer.h"

namespace korotka {

// Test 100: the cuff system is inflated and its pressure drop and leak rate measured.
class KOROTKA_PLUGIN_EXPORT CTestLeak : public CTestBase {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CTestLeak");
    // The inflate pressure could not be reached.
    static constexpr int32_t kErrPressureNotReached = PlugInErrors::kPressureNotReached;
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
    void ReleaseRunObjects() override;
    // The Korotka's own leak test runs by itself: Stop ends it at once. In the custom mode Stop
    // ends the gauge loop after its pass.
    bool StopEndsStep() const override { return m_standardStep; }

private:
    // The Korotka's own leak test: one step, its answer the rate.
    void RunStandard(FTestGuide& guide, const std::shared_ptr<CKorotkaVTI>& vti,
                     const orvex::VariantArray& parameters, orvex::Variant& reply);
    // The element's own timing: pressure, settling readings, the interval, the rate from two readings.
    void RunCustomDuration(FTestGuide& guide, const std::shared_ptr<CKorotkaVTI>& vti,
                           const orvex::VariantArray& parameters, orvex::Variant& reply);
    void TimerTick();

    std::unique_ptr<FTimer> mfrmTimer;
    int32_t m_elapsed = 0;
    bool m_timing = false;
    // The Korotka's own leak test is the running step.
    bool m_standardStep = false;
};

}  // namespace korotka
