#include <gtest/gtest.h>

#include "ConfigFixture.h"
#include "hostapi/TestGuideSettings.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/MConfigUtils.h"
#include "support/Raised.h"

using korotka::CConfigPBP;
using orvex::Variant;

namespace {

class ConfigPBP : public ConfigFixture {};

TEST_F(ConfigPBP, TheFamilySelectsItsUsualPreset) {
    CConfigPBP record;
    record.SetTestType(4);  // neonate
    EXPECT_EQ(record.SelectedPreset(), 2);
    EXPECT_FLOAT_EQ(record.ExpectedValue("SYST").ToSingle(), 80);
    EXPECT_FLOAT_EQ(record.ExpectedValue("DIAS").ToSingle(), 50);
    EXPECT_FLOAT_EQ(record.ExpectedValue("MAPR").ToSingle(), 60);
    EXPECT_EQ(record.ExpectedValue("HART").GetKind(), Variant::Kind::Integer);
    EXPECT_EQ(record.ExpectedValue("HART").ToInteger(), 120);
    EXPECT_TRUE(record.ExpectedValue("").IsEmpty());
    EXPECT_TRUE(record.ExpectedValue("syst").IsEmpty());

    record.SetTestType(0);
    EXPECT_EQ(record.SelectedPreset(), 3);
    record.SetTestType(5);
    EXPECT_EQ(record.SelectedPreset(), 1);
    record.SetTestType(2);
    EXPECT_EQ(record.SelectedPreset(), 0);
}

TEST_F(ConfigPBP, ExpectedValuesAreInTheBloodPressureUnit) {
    SetSetting(QStringLiteral("BPUnit"), 1);
    CConfigPBP record;
    record.SetTestType(0);  // 120/80
    EXPECT_EQ(record.UnitOfMeasure(), 1);
    EXPECT_EQ(record.ExpectedValue("SYST").GetKind(), Variant::Kind::Single);
    EXPECT_FLOAT_EQ(record.ExpectedValue("SYST").ToSingle(), 16.0F);
    EXPECT_FLOAT_EQ(record.ExpectedValue("DIAS").ToSingle(), 10.7F);
    EXPECT_EQ(record.ExpectedValue("HART").ToInteger(), 80);

    const orvex::VariantArray parameters = record.GetTestParameters();
    ASSERT_EQ(parameters.Count(), 5);
    for (int32_t i = 0; i < parameters.Count(); ++i) EXPECT_TRUE(parameters.At(i).IsString()) << i;
    EXPECT_EQ(parameters.At(0).ToString(), "400");
    EXPECT_EQ(parameters.At(1).ToString(), "0");
    EXPECT_EQ(parameters.At(2).ToString(), "3");
    EXPECT_EQ(parameters.At(3).ToString(), "1");
    EXPECT_EQ(parameters.At(4).ToString(), "False");
}

TEST_F(ConfigPBP, PresetsOutsideTheTableReadNothingFromItAndAFilesValuesStand) {
    CConfigPBP record;
    record.SetTestType(6);  // the empty row
    EXPECT_EQ(record.ExpectedValue("SYST").ToSingle(), 0.0F);
    EXPECT_EQ(record.ExpectedValue("HART").ToLong(), 0);
    record.SetTestType(-1);
    EXPECT_EQ(record.ExpectedValue("DIAS").ToSingle(), 0.0F);
    EXPECT_TRUE(record.ExpectedValue("OTHER").IsEmpty());

    // The expected values stored with an unknown preset are the ones the run was judged by.
    record.SetTestType(1);  // eight presets
    record.Load(ElementFromFile("<PlugInData><Preset Type=\"200\"/><Systolic>120</Systolic><Map>93.3</Map>"
                                "</PlugInData>"),
                log);
    EXPECT_EQ(record.SelectedPreset(), 200);
    EXPECT_EQ(record.ExpectedValue("SYST").ToSingle(), 120.0F);
    EXPECT_EQ(record.ExpectedValue("MAPR").ToSingle(), 93.0F);
    record.PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 1U);
    EXPECT_EQ(report->Tables()[0].rows, "|      Selected Preset|;");

    // A preset beyond a byte is refused and the record keeps what it held.
    const auto error =
        Raised([&] { record.Load(ElementFromFile("<PlugInData><Preset Type=\"256\"/></PlugInData>"), log); });
    EXPECT_EQ(error.Number(), orvex::ComError::kOverflow);
    EXPECT_EQ(error.Source(), "OrvexKorotka.CConfigPBP");
    EXPECT_EQ(record.SelectedPreset(), 200);
    EXPECT_EQ(log->OpenGroups(), 0U);
}

TEST_F(ConfigPBP, KeepsTheFilesValuesUntilThePresetIsChosenAgain) {
    auto record = std::make_shared<CConfigPBP>();
    record->SetTestType(1);
    record->SetSelectedPreset(5);  // Geriatric, 150/110
    record->SetUseInternalCuff(true);
    record->TestGuideConfig()->SetFlags(1);
    EXPECT_EQ(SavedText(*record),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<PlugInData PlugIn=\"Korotka\">\n"
              "  <Preset Type=\"5\" InternalCuff=\"True\" Units=\"0\" />\n"
              "  <Systolic>150</Systolic>\n"
              "  <Diastolic>110</Diastolic>\n"
              "  <Map>123.3</Map>\n"
              "  <HeartRate>95</HeartRate>\n"
              "  <TestGuideSettings Flags=\"1\" />\n"
              "</PlugInData>\n");

    CConfigPBP loaded;
    loaded.SetTestType(1);
    loaded.Load(ElementFromFile("<PlugInData><Preset Type=\"5\" InternalCuff=\"True\" Units=\"1\"/>"
                                "<Systolic>151.5</Systolic><Diastolic>110</Diastolic><Map>123.3</Map>"
                                "<HeartRate>95</HeartRate><TestGuideSettings/></PlugInData>"),
                log);
    EXPECT_TRUE(log->Entries().empty());
    EXPECT_EQ(log->Groups()[0].caption, "Loading blood pressure test configuration data");
    EXPECT_EQ(loaded.UnitOfMeasure(), 1);
    EXPECT_TRUE(loaded.UseInternalCuff());
    EXPECT_FLOAT_EQ(loaded.ExpectedValue("SYST").ToSingle(), 20.2F);  // 151.5 mmHg, not 150
    loaded.SetSelectedPreset(5);
    EXPECT_FLOAT_EQ(loaded.ExpectedValue("SYST").ToSingle(), 20.0F);

    // A clone takes the values from the table and the unit from the settings.
    loaded.Load(ElementFromFile("<PlugInData><Systolic>99</Systolic></PlugInData>"), log);
    EXPECT_EQ(EntryTexts(), QStringList{"Configuration parameter missing. Default value restored."});
    const auto clone = std::dynamic_pointer_cast<CConfigPBP>(loaded.Clone());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->UnitOfMeasure(), 0);
    EXPECT_EQ(clone->TestType(), 1);
    EXPECT_TRUE(clone->UseInternalCuff());
    EXPECT_FLOAT_EQ(clone->ExpectedValue("SYST").ToSingle(), 150);
}

TEST_F(ConfigPBP, ReportsTheSelectedPreset) {
    UseGerman();
    CConfigPBP record;
    record.SetTestType(1);
    record.SetSelectedPreset(5);
    record.PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 1U);
    EXPECT_EQ(report->Tables()[0].rows, QString::fromUtf8("|      Gewählte Voreinstellung|Geriatrisch;"));
    EXPECT_EQ(report->Tables()[0].columns, "<+560|<2240|<+1410|<+1410|<+1410|<+!1410|<+560;");
}

}  // namespace
