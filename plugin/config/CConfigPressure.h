#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "hostapi/IConfigData.h"
#include "hostapi/VariantArray.h"
#include "plugin/base/PlugInExport.h"
#include "plugin/config/IKorotkaConfigPressure.h"

namespace korotka {

// The configuration of the over-pressure and the static pressure test: the pressure to inflate
// to, in the unit the technician works in, and whether the instrument only reads its gauge.
class KOROTKA_PLUGIN_EXPORT CConfigPressure : public orvex::IConfigData,
                                              public IKorotkaConfigPressure,
                                              public std::enable_shared_from_this<CConfigPressure> {
public:
    static inline const QString kSource = QStringLiteral("OrvexKorotka.CConfigPressure");

    // Starts from the defaults of the instrument settings.
    CConfigPressure();

    int32_t PressureUnit() const override { return m_values.pressureUnit; }
    void SetPressureUnit(int32_t unit) override { m_values.pressureUnit = unit; }
    float InflatePressure() const override { return m_values.inflatePressure; }
    void SetInflatePressure(float pressure) override { m_values.inflatePressure = pressure; }
    bool ShowEquipmentControls() const override { return false; }
    bool ShowNoPumpCheckbox() const override { return m_showNoPumpCheckbox; }
    void SetShowNoPumpCheckbox(bool show) override { m_showNoPumpCheckbox = show; }
    std::shared_ptr<orvex::TestGuideSettings> TestGuideConfig() const override { return m_values.testGuide; }
    bool NoPump() const { return m_values.noPump; }
    void SetNoPump(bool noPump) { m_values.noPump = noPump; }

    bool HasDialog() override { return true; }
    std::shared_ptr<orvex::IConfigData> Clone() override;
    std::shared_ptr<orvex::IDialog> CreateDialog() override;
    // A value that is missing or empty keeps its default; the log notes a record with none at all.
    // On an error the record keeps what it held.
    void Load(const std::shared_ptr<orvex::XmlElement>& element,
              const std::shared_ptr<orvex::LoadLog>& log) override;
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlDocument>& document) override;
    void PrintReport(const std::shared_ptr<orvex::ReportContext>& report) override;

    // The defaults of the instrument settings.
    void Reset();
    // Label and value for the test details view, as a one-row table of two columns.
    orvex::VariantArray GetDescription() const;
    // The instrument's request for the over-pressure test: test id, pressure in whole mmHg, unit,
    // pass flag, pressure in the unit, no-pump flag.
    orvex::VariantArray GetTestParameters() const;

private:
    // What the sequence file holds.
    struct Values {
        float inflatePressure;
        bool noPump;
        int32_t pressureUnit;
        std::shared_ptr<orvex::TestGuideSettings> testGuide;
    };

    // A copy of the source: its values are all taken over, so the defaults need not be read.
    struct CopyOf {
        const CConfigPressure& source;
    };
    explicit CConfigPressure(CopyOf copy);

    static Values Defaults();
    // Takes the record's values from its element, all or nothing; true when the log should note
    // a missing parameter.
    bool Read(const orvex::XmlElement& record, const std::shared_ptr<orvex::LoadLog>& log);
    void CopyFrom(const CConfigPressure& source);

    Values m_values;
    // The owning test decides; it is no part of the data, so neither loading nor Reset changes it.
    bool m_showNoPumpCheckbox = false;
};

}  // namespace korotka
