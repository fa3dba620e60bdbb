#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "hostapi/IConfigData.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/config/IKorotkaConfigPressure.h"

namespace korotka {

// The configuration of the leak test: the pressure to start from, the equipment under test and
// how long to measure. The pressure unit is the settings' default and is not stored, so a start
// pressure is read back in the unit that is the default when it is loaded.
class KOROTKA_PLUGIN_EXPORT CConfigLeak : public orvex::IConfigData,
                                          public IKorotkaConfigPressure,
                                          public std::enable_shared_from_this<CConfigLeak> {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CConfigLeak");

    // TestedEquipment
    static constexpr int32_t kCuff = 0;
    static constexpr int32_t kMonitor = 1;
    static constexpr int32_t kCuffAndMonitor = 2;

    // Starts from the defaults of the instrument settings.
    CConfigLeak();

    // The start pressure stands in for the inflate pressure.
    int32_t PressureUnit() const override { return m_values.pressureUnit; }
    void SetPressureUnit(int32_t unit) override { m_values.pressureUnit = unit; }
    float InflatePressure() const override { return m_values.startPressure; }
    void SetInflatePressure(float pressure) override { m_values.startPressure = pressure; }
    bool ShowEquipmentControls() const override { return true; }
    // The leak test always pumps: the choice is never offered.
    bool ShowNoPumpCheckbox() const override { return false; }
    void SetShowNoPumpCheckbox(bool /*show*/) override {}
    std::shared_ptr<orvex::TestGuideSettings> TestGuideConfig() const override { return m_values.testGuide; }

    // Seconds; below 1 the test runs until it is stopped.
    int32_t Duration() const { return m_values.duration; }
    void SetDuration(int32_t seconds) { m_values.duration = seconds; }
    int32_t TestedEquipment() const { return m_values.testedEquipment; }
    void SetTestedEquipment(int32_t equipment) { m_values.testedEquipment = equipment; }
    bool UseCustomDuration() const { return m_values.useCustomDuration; }
    void SetUseCustomDuration(bool use) { m_values.useCustomDuration = use; }
    bool UseInternalCuff() const { return m_values.useInternalCuff; }
    void SetUseInternalCuff(bool use) { m_values.useInternalCuff = use; }

    bool HasDialog() override { return true; }
    std::shared_ptr<orvex::IConfigData> Clone() override;
    std::shared_ptr<orvex::IDialog> CreateDialog() override;
    // The log notes a record that lacks any of its five children. On an error the record keeps
    // what it held.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlDocument>& document) override;
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report) override;

    // Duration, equipment, start pressure and unit from the instrument settings; the two switches
    // and the test-guide settings stay.
    void Reset();
    // The translated equipment; empty for a number that names none.
    QString TestedEquipmentText() const;
    // "mm:ss", or the translated text for a test that runs until it is stopped.
    QString DurationText() const;
    // Label and value of the start pressure, the equipment and the duration for the test details
    // view, as a table of three rows and two columns.
    orvex::VariantArray GetDescription() const;
    // The instrument's request: test id, start pressure in whole mmHg, unit, duration, custom
    // duration flag, equipment, internal cuff flag.
    orvex::VariantArray GetTestParameters() const;

private:
    using Translator = std::function<QString(const QString&)>;

    // What the sequence file holds, and the unit the pressure is in.
    struct Values {
        int32_t duration;
        int32_t testedEquipment;
        float startPressure;
        int32_t pressureUnit;
        bool useCustomDuration;
        bool useInternalCuff;
        std::shared_ptr<orvex::TestGuideSettings> testGuide;
    };

    static void ResetValues(Values& values);
    // Takes the record's values from its element, all or nothing; true when the log should note
    // a missing parameter.
    bool Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log);
    void CopyFrom(const CConfigLeak& source);
    // The display texts with their literals translated by the caller's lookup.
    QString TestedEquipmentText(const Translator& translate) const;
    QString DurationText(const Translator& translate) const;

    Values m_values;
};

}  // namespace korotka
