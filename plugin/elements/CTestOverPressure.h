#pragma once

#include "plugin/base/PlugInErrors.h"
#include "plugin/elements/CTestBase.h"
#include "plugin/elements/FTimer.h"

namespace korotka {

// Test 200: the Korotka raises the pressure until the monitor's relief valve opens, and the
// release pressure is reported.
class KOROTKA_PLUGIN_EXPORT CTestOverPressure : public CTestBase {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CTestOverPressure");
    // The monitor released nothing the Korotka could read.
    static constexpr int32_t kErrPressureNotReached = PlugInErrors::kPressureNotReached;
    static constexpr float kDefaultPressureMmHg = 380.0F;

    CTestOverPressure();

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
    // The relief step holds the pressure rising by itself: Stop ends it at once.
    bool StopEndsStep() const override { return true; }

private:
    void TimerTick();

    std::unique_ptr<FTimer> mfrmTimer;
    int16_t m_elapsed = 0;
};

}  // namespace korotka
