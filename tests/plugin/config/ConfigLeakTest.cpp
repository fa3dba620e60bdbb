#include <gtest/gtest.h>

#include "ConfigFixture.h"
#include "hostapi/TestGuideSettings.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/MConfigUtils.h"
#include "support/Raised.h"

using korotka::CConfigLeak;

namespace {

class ConfigLeak : public ConfigFixture {};

TEST_F(ConfigLeak, SavesItsChildrenInOrderAndReadsThemBack) {
    auto record = std::make_shared<CConfigLeak>();
    EXPECT_EQ(record->Duration(), 60);
    EXPECT_EQ(record->TestedEquipment(), CConfigLeak::kCuff);
    EXPECT_FLOAT_EQ(record->InflatePressure(), 150);
    record->SetUseInternalCuff(true);
    record->SetDuration(3725);
    record->SetTestedEquipment(CConfigLeak::kCuffAndMonitor);
    record->SetInflatePressure(145.5F);
    EXPECT_EQ(SavedText(*record),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<PlugInData PlugIn=\"Korotka\">\n"
              "  <Flags CustomDuration=\"False\" InternalCuff=\"True\" />\n"
              "  <StartPressure Unit=\"0\">145.5</StartPressure>\n"
              "  <TestedEquipment>2</TestedEquipment>\n"
              "  <Duration>3725</Duration>\n"
              "  <TestGuideSettings Flags=\"0\" />\n"
              "</PlugInData>\n");
    CConfigLeak loaded;
    RoundTrip(*record, loaded);
    EXPECT_TRUE(loaded.UseInternalCuff());
    EXPECT_FALSE(loaded.UseCustomDuration());
    EXPECT_EQ(loaded.Duration(), 3725);
    EXPECT_EQ(loaded.TestedEquipment(), CConfigLeak::kCuffAndMonitor);
    EXPECT_FLOAT_EQ(loaded.InflatePressure(), 145.5F);
    EXPECT_TRUE(log->Entries().empty());
    EXPECT_EQ(log->Groups()[0].caption, "Loading leak test configuration data");
}

TEST_F(ConfigLeak, LogsAnyMissingChildButNotAnEmptyOne) {
    CConfigLeak record;
    record.SetDuration(300);
    record.SetUseCustomDuration(true);
    record.Load(ElementFromFile("<PlugInData><Flags/><StartPressure>140</StartPressure>"
                                "<TestedEquipment>1</TestedEquipment><TestGuideSettings/></PlugInData>"),
                log);
    EXPECT_EQ(record.Duration(), 60);
    EXPECT_TRUE(record.UseCustomDuration());  // the switches survive the reset
    EXPECT_EQ(EntryTexts(), QStringList{"Configuration parameter missing. Default value restored."});

    record.Load(ElementFromFile("<PlugInData><Flags/><StartPressure/><TestedEquipment></TestedEquipment>"
                                "<Duration/><TestGuideSettings/><Other>7</Other></PlugInData>"),
                log);
    EXPECT_EQ(log->Entries().size(), 1U);
    EXPECT_EQ(record.Duration(), 0);
    EXPECT_FLOAT_EQ(record.InflatePressure(), 0);

    // Guide settings the element does not store start anew, as in the other records.
    record.TestGuideConfig()->SetFlags(5);
    record.Load(ElementFromFile("<PlugInData><Duration>60</Duration></PlugInData>"), log);
    EXPECT_EQ(record.TestGuideConfig()->Flags(), 0);
}

TEST_F(ConfigLeak, KeepsTheStartPressuresUnitAndReadsAnOlderRecordInTodaysDefaultUnit) {
    CConfigLeak saved;  // mmHg
    saved.SetDuration(0);
    SetSetting(QStringLiteral("PressureUnit"), 1);
    CConfigLeak kept;
    RoundTrip(saved, kept);
    EXPECT_EQ(kept.PressureUnit(), 0);
    EXPECT_FLOAT_EQ(kept.InflatePressure(), 150);
    EXPECT_EQ(kept.GetTestParameters().At(1).ToString(), "150");

    // Written before the unit was kept (and with a unit that is none): today's default unit.
    CConfigLeak loaded;
    loaded.Load(ElementFromFile("<PlugInData><Flags/><StartPressure Unit=\"1e30\">150</StartPressure>"
                                "<TestedEquipment>0</TestedEquipment><Duration>0</Duration>"
                                "<TestGuideSettings/></PlugInData>"),
                log);
    EXPECT_EQ(loaded.PressureUnit(), 1);
    EXPECT_FLOAT_EQ(loaded.InflatePressure(), 150);

    // A clone keeps the unit it was made from, whatever the settings say.
    SetSetting(QStringLiteral("PressureUnit"), 0);
    const auto clone = std::dynamic_pointer_cast<CConfigLeak>(loaded.Clone());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->PressureUnit(), 1);
    EXPECT_EQ(SavedText(*clone), SavedText(loaded));

    const orvex::VariantArray parameters = loaded.GetTestParameters();
    ASSERT_EQ(parameters.Count(), 7);
    EXPECT_EQ(parameters.At(0).ToString(), "100");
    EXPECT_EQ(parameters.At(1).ToString(), "1125");  // 150 kPa
    EXPECT_EQ(parameters.At(2).GetKind(), orvex::Variant::Kind::Long);
    EXPECT_EQ(parameters.At(2).ToLong(), 1);
    EXPECT_EQ(parameters.At(3).ToString(), "0");
    EXPECT_EQ(parameters.At(4).GetKind(), orvex::Variant::Kind::Boolean);
    EXPECT_EQ(parameters.At(5).ToString(), "0");
    EXPECT_FALSE(parameters.At(6).ToBoolean());
}

TEST_F(ConfigLeak, DescribesDurationAndEquipment) {
    CConfigLeak record;
    const auto durationOf = [&record](int32_t seconds) {
        record.SetDuration(seconds);
        return record.DurationText();
    };
    EXPECT_EQ(durationOf(0), "(continuous)");
    EXPECT_EQ(durationOf(-5), "(continuous)");
    EXPECT_EQ(durationOf(60), "01:00");
    EXPECT_EQ(durationOf(3725), "62:05");
    record.SetTestedEquipment(CConfigLeak::kMonitor);
    EXPECT_EQ(record.TestedEquipmentText(), "Monitor");
    record.SetTestedEquipment(3);
    EXPECT_EQ(record.TestedEquipmentText(), "");

    // The leak test always pumps.
    record.SetShowNoPumpCheckbox(true);
    EXPECT_FALSE(record.ShowNoPumpCheckbox());
    EXPECT_TRUE(record.ShowEquipmentControls());

    UseGerman();
    record.SetDuration(75);
    record.SetTestedEquipment(CConfigLeak::kCuffAndMonitor);
    const orvex::VariantArray description = record.GetDescription();
    ASSERT_EQ(description.UBound(1), 2);
    EXPECT_EQ(description.At(0, 0).ToString(), "Startdruck-Sollwert");
    EXPECT_EQ(description.At(0, 1).ToString(), "150 mmHg");
    EXPECT_EQ(description.At(1, 1).ToString(), "Manschette und Monitor");
    EXPECT_EQ(description.At(2, 0).ToString(), "Dauer");
    EXPECT_EQ(description.At(2, 1).ToString(), "01:15");
}

TEST_F(ConfigLeak, PrintsPressureDurationAndEquipment) {
    CConfigLeak record;
    record.SetDuration(0);
    record.SetUseInternalCuff(true);
    record.PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 1U);
    EXPECT_EQ(report->Tables()[0].rows,
              "|      Start Pressure Target|150.0 mmHg;"
              "|      Duration|(continuous);"
              "|      Tested Equipment|Cuff  (internal cuff);");
}

}  // namespace
