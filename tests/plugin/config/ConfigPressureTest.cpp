#include <gtest/gtest.h>

#include "ConfigFixture.h"
#include "hostapi/IDialog.h"
#include "hostapi/TestGuideSettings.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/MConfigUtils.h"
#include "support/Raised.h"

using korotka::CConfigPressure;
using korotka::MConfigUtils;

namespace {

class ConfigPressure : public ConfigFixture {};

TEST_F(ConfigPressure, StartsFromTheSettingsUnitAndSurvivesAFile) {
    SetSetting(QStringLiteral("PressureUnit"), 1);
    auto record = std::make_shared<CConfigPressure>();
    EXPECT_EQ(record->PressureUnit(), 1);
    EXPECT_FLOAT_EQ(record->InflatePressure(), 33.3F);  // 250 mmHg
    EXPECT_FALSE(record->NoPump());
    EXPECT_FALSE(record->ShowEquipmentControls());

    record->SetNoPump(true);
    record->SetPressureUnit(4);
    record->SetInflatePressure(4.84F);
    record->TestGuideConfig()->SetFlags(orvex::TestGuideSettings::kSkipAllowed);
    EXPECT_EQ(SavedText(*record),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<PlugInData PlugIn=\"Korotka\">\n"
              "  <Flags NoPump=\"True\" />\n"
              "  <InflatePressure>4.84</InflatePressure>\n"
              "  <PressureUnits>4</PressureUnits>\n"
              "  <TestGuideSettings Flags=\"2\" />\n"
              "</PlugInData>\n");

    CConfigPressure loaded;
    RoundTrip(*record, loaded);
    EXPECT_TRUE(loaded.NoPump());
    EXPECT_EQ(loaded.PressureUnit(), 4);
    EXPECT_FLOAT_EQ(loaded.InflatePressure(), 4.84F);
    EXPECT_EQ(loaded.TestGuideConfig()->Flags(), orvex::TestGuideSettings::kSkipAllowed);
    EXPECT_TRUE(log->Entries().empty());
    ASSERT_EQ(log->Groups().size(), 1U);
    EXPECT_EQ(log->Groups()[0].caption, "Loading over-pressure test configuration data");
    EXPECT_EQ(log->OpenGroups(), 0U);
}

TEST_F(ConfigPressure, LogsAMissingParameterOnlyWhenNothingWasFound) {
    CConfigPressure record;
    record.SetNoPump(true);
    record.SetInflatePressure(99);
    record.Load(ElementFromFile("<PlugInData PlugIn=\"Korotka\"/>"), log);
    EXPECT_FALSE(record.NoPump());
    EXPECT_FLOAT_EQ(record.InflatePressure(), 250);
    EXPECT_EQ(EntryTexts(), QStringList{"Configuration parameter missing. Default value restored."});
    EXPECT_EQ(log->Entries()[0].code, MConfigUtils::kErrLoad);
    EXPECT_EQ(log->Entries()[0].severity, 1);

    // Children without a value count as missing.
    record.Load(ElementFromFile("<PlugInData><Flags NoPump=\"\"/><InflatePressure/></PlugInData>"), log);
    EXPECT_EQ(log->Entries().size(), 2U);

    // The test-guide settings alone are enough, although every value was reset.
    record.SetInflatePressure(99);
    record.Load(ElementFromFile("<PlugInData><TestGuideSettings Flags=\"1\"/></PlugInData>"), log);
    EXPECT_EQ(log->Entries().size(), 2U);
    EXPECT_FLOAT_EQ(record.InflatePressure(), 250);
    EXPECT_EQ(record.TestGuideConfig()->Flags(), 1);

    // Without a log nothing is written anywhere.
    record.Load(ElementFromFile("<PlugInData/>"), nullptr);
    EXPECT_EQ(log->Groups().size(), 3U);
}

TEST_F(ConfigPressure, AFailedLoadRaisesUnderTheRecordsNameAndKeepsTheRecord) {
    CConfigPressure record;
    record.SetInflatePressure(120);
    record.SetShowNoPumpCheckbox(true);

    const auto wrongTag = Raised([&] { record.Load(ElementFromFile("<ExpectedResult/>"), log); });
    EXPECT_EQ(wrongTag.Number(), MConfigUtils::kErrLoad);
    EXPECT_EQ(wrongTag.Category(), 4);
    EXPECT_EQ(wrongTag.Source(), "OrvexKorotka.CConfigPressure");
    EXPECT_EQ(Raised([&] { record.Load(nullptr, log); }).Number(), MConfigUtils::kErrLoad);

    const auto badFlag = Raised([&] {
        record.Load(
            ElementFromFile("<PlugInData><InflatePressure>80</InflatePressure><Flags NoPump=\"perhaps\"/>"
                            "</PlugInData>"),
            log);
    });
    EXPECT_EQ(badFlag.Number(), orvex::ComError::kTypeMismatch);
    EXPECT_EQ(badFlag.Source(), "OrvexKorotka.CConfigPressure");
    const auto huge = Raised([&] {
        record.Load(ElementFromFile("<PlugInData><InflatePressure>1e39</InflatePressure></PlugInData>"), log);
    });
    EXPECT_EQ(huge.Number(), orvex::ComError::kOverflow);

    EXPECT_FLOAT_EQ(record.InflatePressure(), 120);
    EXPECT_EQ(log->OpenGroups(), 0U);
    EXPECT_TRUE(log->Entries().empty());

    // Whether the view offers "no pump" is the owning test's choice, not the file's.
    record.Load(ElementFromFile("<PlugInData/>"), log);
    EXPECT_TRUE(record.ShowNoPumpCheckbox());
}

TEST_F(ConfigPressure, ACloneSavesWhatTheOriginalSaves) {
    auto record = std::make_shared<CConfigPressure>();
    record->SetPressureUnit(2);
    record->SetInflatePressure(340);
    record->SetNoPump(true);
    record->SetShowNoPumpCheckbox(true);
    record->TestGuideConfig()->SetFlags(3);
    const auto clone = std::dynamic_pointer_cast<CConfigPressure>(record->Clone());
    ASSERT_TRUE(clone);
    EXPECT_EQ(SavedText(*clone), SavedText(*record));
    EXPECT_TRUE(clone->ShowNoPumpCheckbox());
    // The clone has settings of its own.
    EXPECT_NE(clone->TestGuideConfig(), record->TestGuideConfig());
    record->TestGuideConfig()->SetFlags(0);
    EXPECT_EQ(clone->TestGuideConfig()->Flags(), 3);
}

TEST_F(ConfigPressure, TellsTheInstrumentThePressureInWholeMmHg) {
    CConfigPressure record;
    record.SetPressureUnit(1);
    record.SetInflatePressure(33.3F);
    record.SetNoPump(true);
    const orvex::VariantArray parameters = record.GetTestParameters();
    ASSERT_EQ(parameters.Count(), 6);
    EXPECT_EQ(parameters.At(0).ToString(), "200");
    EXPECT_EQ(parameters.At(1).GetKind(), orvex::Variant::Kind::String);
    EXPECT_EQ(parameters.At(1).ToString(), "250");  // 33.3 x 7.5006 = 249.77
    EXPECT_EQ(parameters.At(2).ToString(), "1");
    EXPECT_EQ(parameters.At(3).GetKind(), orvex::Variant::Kind::Boolean);
    EXPECT_FALSE(parameters.At(3).ToBoolean());
    EXPECT_EQ(parameters.At(4).GetKind(), orvex::Variant::Kind::Single);
    EXPECT_FLOAT_EQ(parameters.At(4).ToSingle(), 33.3F);
    EXPECT_TRUE(parameters.At(5).ToBoolean());

    const orvex::VariantArray description = record.GetDescription();
    EXPECT_EQ(description.UBound(1), 0);
    EXPECT_EQ(description.At(0, 0).ToString(), "Inflate Pressure");
    EXPECT_EQ(description.At(0, 1).ToString(), "33.3 kPa");
}

TEST_F(ConfigPressure, PrintsOneRowUnderTheConfigurationTitle) {
    UseGerman();
    CConfigPressure record;
    record.SetPressureUnit(1);
    record.SetInflatePressure(33.3F);
    record.SetNoPump(true);
    record.PrintReport(report);
    report->SetTableWidth(3000);  // narrower than the fixed columns
    record.PrintReport(report);
    record.PrintReport(nullptr);

    ASSERT_EQ(report->Tables().size(), 2U);
    const auto& table = report->Tables()[0];
    EXPECT_EQ(table.title, "|{\\i\\b Konfiguration};");
    EXPECT_EQ(table.columns, "<+560|<2240|<+1410|<+1410|<+1410|<+!1410|<+560;");
    EXPECT_EQ(table.rows, QString::fromUtf8("|      Fülldruck|33.3 kPa  (extern);"));
    EXPECT_EQ(table.fontSize, 10);
    EXPECT_FALSE(table.bold);
    EXPECT_TRUE(table.keepTogether);
    EXPECT_FALSE(table.framed || table.shadedTitle || table.pageBreak);
    EXPECT_EQ(report->Tables()[1].columns, "<+560|<2240|<+-90|<+-90|<+-90|<+!-90|<+560;");
}

TEST_F(ConfigPressure, OffersItsDialogWithoutTheViewBeingThere) {
    auto record = std::make_shared<CConfigPressure>();
    EXPECT_TRUE(record->HasDialog());
    const auto dialog = record->CreateDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->Locked());
}

}  // namespace
