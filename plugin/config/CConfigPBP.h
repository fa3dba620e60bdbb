#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/IConfigData.h"
#include "hostapi/Variant.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"

namespace orvex {
class TestGuideSettings;
}

namespace korotka {

// The configuration of the blood-pressure simulation: which preset of the test's family the
// simulator plays, in which blood-pressure unit the monitor shows it, and whether the simulator's
// own cuff is used. The expected values (in mmHg) follow the preset, or the file they were loaded
// from. A preset outside the family's presets has no expected values.
class KOROTKA_PLUGIN_EXPORT CConfigPBP : public orvex::IConfigData,
                                         public std::enable_shared_from_this<CConfigPBP> {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CConfigPBP");

    // Blood-pressure unit from the instrument settings, no preset values yet.
    CConfigPBP();

    // EKorotkaBPTestType; the owning test sets it and it is not stored.
    int32_t TestType() const { return m_testType; }
    // Selects the family's usual preset.
    void SetTestType(int32_t family);
    uint8_t SelectedPreset() const { return m_values.selectedPreset; }
    // Takes the expected values from the preset table.
    void SetSelectedPreset(uint8_t preset);
    bool UseInternalCuff() const { return m_values.useInternalCuff; }
    void SetUseInternalCuff(bool use) { m_values.useInternalCuff = use; }
    // EKorotkaBpUnit
    int32_t UnitOfMeasure() const { return m_values.unitOfMeasure; }
    std::shared_ptr<orvex::TestGuideSettings> TestGuideConfig() const { return m_values.testGuide; }

    // The expected value of a measurement key: "SYST", "DIAS" and "MAPR" as a Single in
    // UnitOfMeasure, "HART" as an Integer; Empty for any other key and without a preset.
    orvex::Variant ExpectedValue(const QString& key) const;

    bool HasDialog() override { return true; }
    // The same family, preset and cuff with the preset's own values, in the settings' unit.
    std::shared_ptr<orvex::IConfigData> Clone() override;
    std::shared_ptr<orvex::IDialog> CreateDialog() override;
    // Takes what the element holds and leaves the rest; the log notes a record that lacks any of
    // its six children. On an error the record keeps what it held.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlDocument>& document) override;
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report) override;

    // The instrument's request: test id, family, preset, unit and internal cuff, all as text.
    orvex::VariantArray GetTestParameters() const;

private:
    // What the sequence file holds.
    struct Values {
        uint8_t selectedPreset;
        bool useInternalCuff;
        int32_t unitOfMeasure;
        float systolic;   // mmHg
        float diastolic;  // mmHg
        float map;        // mmHg
        int16_t heartRate;
        std::shared_ptr<orvex::TestGuideSettings> testGuide;
    };

    // Takes the record's values from its element, all or nothing; true when the log should note
    // a missing parameter.
    bool Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log);

    int32_t m_testType = 0;
    Values m_values;
};

}  // namespace korotka
