#pragma once

#include "plugin/elements/CTestBase.h"

namespace korotka {

// Tests 401 to 406: the Korotka simulates a patient of one of six families; the technician starts
// the monitor under test and types in what it reports.
class KOROTKA_PLUGIN_EXPORT CTestBP : public CTestBase {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CTestBP");

    CTestBP();

    // Whatever plug-in id it is given, the element is the Korotka's.
    void Initialize(const QString& plugInId, int32_t testId, int32_t elementId) override;

protected:
    std::shared_ptr<CTestBase> NewInstance() const override;
    // A blood-pressure configuration of the family testId − 401; none for other ids.
    std::shared_ptr<orvex::IConfigData> NewConfiguration(int32_t testId) const override;
    std::shared_ptr<CResultBase> NewResult() const override;
    void CreateMeasurements(CResultBase& result) override;
    // MAP only for families other than the standard pressures.
    std::vector<MeasurementName> MeasurementNames() override;
    QStringList InstructionLiterals() const override;
    orvex::Variant FirstHighlight() const override;
    orvex::Variant ConfigurationSummary() override;
    void RunTest(FTestGuide& guide) override;
    bool& Busy() override;
    // A run that fails stores nothing, and the guide goes back to its first instructions.
    orvex::Variant ErrorHighlight() const override;
    void AfterError() override;
    void ReleaseRunObjects() override;
    // The simulator plays a patient; it builds no pressure of its own to let out.
    bool VentsWhenEnded() const override { return false; }

private:
    // Polls the simulator until it reports ready; false when Stop came first.
    bool WaitForReady(FTestGuide& guide, CKorotkaVTI& vti);
};

}  // namespace korotka
