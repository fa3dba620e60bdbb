#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "MeasureFixture.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/HostServices.h"
#include "hostapi/ILimitData.h"
#include "hostapi/StandardList.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "plugin/measure/CMeasurement.h"
#include "support/LimitDataStub.h"
#include "support/Raised.h"

using korotka::CMeasurement;
using orvex::ComError;
using orvex::Variant;

namespace {

// Limit data whose verdict the test decides: the standards it is asked about fail, pass, or the
// question fails.
class VerdictLimits : public LimitDataStub {
public:
    enum class Verdict { Fail, Pass, Raise };
    Verdict verdict = Verdict::Pass;

    std::shared_ptr<orvex::StandardList> FindFailedStandards(
        const std::shared_ptr<orvex::IMeasurement>&,
        const std::shared_ptr<orvex::StandardList>& standards) override {
        if (verdict == Verdict::Raise) throw orvex::ComError(5, "limits", "no standards loaded");
        return verdict == Verdict::Fail ? standards : nullptr;
    }
};

class MeasurementTest : public MeasureFixture {
protected:
    void SetUp() override {
        MeasureFixture::SetUp();
        standards =
            orvex::ComponentRegistry::Instance().CreateAs<orvex::StandardList>("OrvexTypeLib.StandardList");
        limits = std::make_shared<VerdictLimits>();
        document = orvex::HostServices::Xml()->CreateDocument();
        document->SetDocumentElement(document->CreateElement("ResultItem"));
    }

    // A systolic reading of 121 mmHg against a preset of 120, judged as the verdict says.
    std::shared_ptr<CMeasurement> Judged(VerdictLimits::Verdict verdict) {
        auto measurement = std::make_shared<CMeasurement>();
        measurement->Init("SYST", "mmHg", "20350::Systolic", CMeasurement::kTypeDecimal);
        measurement->SetValueFormat("0");
        measurement->SetPresetValue(Variant(120.0F));
        measurement->SetValue(Variant(121.0F));
        limits->verdict = verdict;
        measurement->UpdateStatus(limits, standards);
        return measurement;
    }

    std::shared_ptr<orvex::HostLoadLog> NewLog() {
        return std::make_shared<orvex::HostLoadLog>(orvex::HostServices::Language());
    }

    std::shared_ptr<orvex::StandardList> standards;
    std::shared_ptr<VerdictLimits> limits;
    std::shared_ptr<orvex::XmlDocument> document;
};

TEST_F(MeasurementTest, FlagsAreNotedOnceAndExplainedInTheirOrder) {
    CMeasurement measurement;
    measurement.AddFlag("I");
    measurement.AddFlag("I");
    measurement.AddFlag("i");
    EXPECT_EQ(measurement.Flags(), "I");
    measurement.AddFlag("");
    EXPECT_EQ(measurement.Flags(), "");

    measurement.AddFlag("O");
    measurement.AddFlag("X");
    measurement.AddFlag("E");
    EXPECT_EQ(measurement.ToolTipText(), "Measurement overflow. Error during test.");
    measurement.AddFlag("");
    measurement.AddFlag("oe");
    EXPECT_EQ(measurement.ToolTipText(), "");
}

TEST_F(MeasurementTest, TheVerdictFollowsTheLimitDataAndNeedsAValue) {
    EXPECT_EQ(Judged(VerdictLimits::Verdict::Fail)->Status(), 2);
    const auto measurement = Judged(VerdictLimits::Verdict::Pass);
    EXPECT_EQ(measurement->Status(), 1);
    // Limit data that cannot answer gives no pass, and the tip says why.
    limits->verdict = VerdictLimits::Verdict::Raise;
    EXPECT_EQ(measurement->UpdateStatus(limits, standards), 2);
    EXPECT_TRUE(measurement->ToolTipText().endsWith("no standards loaded"))
        << measurement->ToolTipText().toStdString();
    EXPECT_EQ(measurement->UpdateStatus(nullptr, standards), 2);
    measurement->Clear();
    limits->verdict = VerdictLimits::Verdict::Fail;
    EXPECT_EQ(measurement->UpdateStatus(limits, standards), 0);
    EXPECT_TRUE(measurement->Value().IsEmpty());
    EXPECT_TRUE(measurement->PresetValue().IsEmpty());
}

TEST_F(MeasurementTest, ResultsAndReportRowsShowTheFormattedValue) {
    const auto measurement = Judged(VerdictLimits::Verdict::Pass);
    EXPECT_EQ(measurement->GetResultValue(6).ToString(), "121 mmHg");
    EXPECT_EQ(measurement->GetResultValue(2).ToString(), "121");
    EXPECT_EQ(measurement->GetResultValue(0).GetKind(), Variant::Kind::Single);
    QString text;
    int32_t status = -1;
    measurement->ValueText(text, status);
    EXPECT_EQ(text, "121");
    EXPECT_EQ(status, 1);

    const auto report = std::make_shared<orvex::HostReportContext>(orvex::HostServices::Language());
    EXPECT_EQ(measurement->ReportLine(report), "|      Systolic|120|121|mmHg;");
    report->SetOptions(orvex::ReportContext::kFailedOnly);
    EXPECT_EQ(measurement->ReportLine(report), "");
    EXPECT_EQ(Judged(VerdictLimits::Verdict::Fail)->ReportLine(report), "|      Systolic|120|121|mmHg;");

    // A format from a file that the host does not know: the result reports it, the rest stays quiet.
    measurement->SetValueFormat("#.##");
    EXPECT_EQ(Raised([&] { measurement->GetResultValue(6); }).Source(), CMeasurement::kSource);
    EXPECT_EQ(measurement->ReportLine(nullptr), "");
    EXPECT_EQ(measurement->FormatValue(Variant(1.0F)), "");

    CMeasurement release;
    release.Init("MREL", "", "20760::Monitor Release", CMeasurement::kTypeYesNo);
    release.SetValue(Variant(false));
    release.ValueText(text, status);
    EXPECT_EQ(text, "False");
    EXPECT_FALSE(release.SupportsLimit({}));
    release.SetValue(Variant::Null());
    release.ValueText(text, status);
    EXPECT_EQ(text, "");
}

TEST_F(MeasurementTest, OnlyJudgedMeasurementsAreSavedAndTheyLoadBack) {
    const auto root = document->DocumentElement();
    auto unjudged = std::make_shared<CMeasurement>();
    unjudged->Init("SYST", "mmHg", "20350::Systolic", CMeasurement::kTypeDecimal);
    unjudged->SetValue(Variant(121.0F));
    EXPECT_EQ(unjudged->Save(root), nullptr);
    EXPECT_FALSE(root->HasChildren());

    const auto measurement = Judged(VerdictLimits::Verdict::Fail);
    measurement->AddFlag("OE");
    ASSERT_NE(measurement->Save(root), nullptr);

    // Through the file's text, as a sequence file would carry it.
    const auto reread = orvex::HostServices::Xml()->CreateDocument();
    reread->LoadText(document->ToText());
    const auto element = reread->DocumentElement()->Child(0);
    EXPECT_EQ(element->TagName(), "Measurement");
    EXPECT_EQ(element->GetAttribute("Key"), "SYST");
    EXPECT_EQ(element->GetAttribute("Flags"), "OE");
    ASSERT_EQ(element->ChildCount(), 5);
    const char* order[] = {"Description", "Value", "PresetValue", "Unit", "Status"};
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(element->Child(i)->TagName(), order[i]);
    EXPECT_EQ(element->FindChild("Description")->Text(), "20350::Systolic");
    EXPECT_EQ(element->FindChild("Value")->GetAttribute("Format"), "0");

    auto loaded = std::make_shared<CMeasurement>();
    const auto log = NewLog();
    loaded->Load(element, log);
    EXPECT_EQ(log->OpenGroups(), 0U);
    EXPECT_TRUE(log->Entries().empty());
    EXPECT_EQ(loaded->Key(), "SYST");
    EXPECT_EQ(loaded->LimitKey(), "SYST");
    EXPECT_EQ(loaded->Description(), "Systolic");
    EXPECT_EQ(loaded->Flags(), "OE");
    EXPECT_EQ(loaded->Unit(), "mmHg");
    EXPECT_EQ(loaded->Status(), 2);
    EXPECT_EQ(loaded->ValueType(), CMeasurement::kTypeDecimal);
    EXPECT_EQ(loaded->ValueFormat(), "0");
    EXPECT_EQ(loaded->Value().GetKind(), Variant::Kind::Single);
    EXPECT_EQ(loaded->Value().ToSingle(), 121.0F);
    EXPECT_EQ(loaded->PresetValue().GetKind(), Variant::Kind::String);
    EXPECT_EQ(loaded->PresetValue().ToString(), "120");
    EXPECT_EQ(loaded->GetResultValue(6).ToString(), "121 mmHg");
}

TEST_F(MeasurementTest, ABrokenElementFailsClearlyAndChangesNothing) {
    auto measurement = Judged(VerdictLimits::Verdict::Pass);
    const auto log = NewLog();

    const auto keyless = document->CreateElement("Measurement");
    keyless->AppendChild(document->CreateElement("Unit"));
    ComError error = Raised([&] { measurement->Load(keyless, log); });
    EXPECT_EQ(error.Number(), CMeasurement::kErrLoad);
    EXPECT_EQ(error.Source(), CMeasurement::kSource);
    ASSERT_EQ(log->Entries().size(), 1U);
    EXPECT_EQ(log->Entries()[0].code, CMeasurement::kErrLoad);
    EXPECT_EQ(log->Entries()[0].severity, orvex::LoadLog::kSeverityError);
    EXPECT_EQ(log->Entries()[0].text, "A measurement cannot be loaded because its Key is empty.");
    EXPECT_EQ(log->OpenGroups(), 0U);

    EXPECT_EQ(Raised([&] { measurement->Load(document->CreateElement("Value"), nullptr); }).Number(),
              CMeasurement::kErrLoad);
    EXPECT_EQ(Raised([&] { measurement->Load(nullptr, log); }).Number(), CMeasurement::kErrLoad);

    // A status that is no number is the host's error, handed on under this class's name.
    const auto broken = document->CreateElement("Measurement");
    broken->SetAttribute("Key", "DIAS");
    const auto status = document->CreateElement("Status");
    status->SetAttribute("Value", "failed");
    broken->AppendChild(status);
    error = Raised([&] { measurement->Load(broken, log); });
    EXPECT_EQ(error.Number(), ComError::kTypeMismatch);
    EXPECT_EQ(error.Source(), CMeasurement::kSource);
    EXPECT_EQ(log->OpenGroups(), 0U);

    EXPECT_EQ(measurement->Key(), "SYST");
    EXPECT_EQ(measurement->Status(), 1);
    EXPECT_EQ(measurement->Value().ToSingle(), 121.0F);

    // Any text where a number belongs loads and is kept as it was stored.
    const auto odd = document->CreateElement("Measurement");
    odd->SetAttribute("Key", "SYST");
    const auto value = document->CreateElement("Value");
    value->SetAttribute("Type", "1");
    value->SetText("1e40");
    odd->AppendChild(value);
    measurement->Load(odd, log);
    EXPECT_EQ(measurement->Value().ToString(), "1e40");
    EXPECT_EQ(measurement->Status(), 0);
    // What a reset keeps: the preset.
    EXPECT_EQ(measurement->PresetValue().ToSingle(), 120.0F);
}

}  // namespace
