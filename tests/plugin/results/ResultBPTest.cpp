#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <memory>

#include "ResultFixture.h"
#include "hostapi/Registry.h"
#include "hostapi/ServiceRecord.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/results/CResultBP.h"
#include "plugin/results/CResultStaticPressure.h"

using korotka::CConfigPBP;
using korotka::CResultBase;
using korotka::CResultBP;
using orvex::Variant;

namespace {

class ResultBP : public ResultFixture {
protected:
    static void UseKpa() { SetSetting(QStringLiteral("BPUnit"), 1); }

    // A configuration of the standard family with its 120/80 preset.
    static std::shared_ptr<CConfigPBP> Standard() {
        auto config = std::make_shared<CConfigPBP>();
        config->SetTestType(0);
        return config;
    }

    // A run of the configuration's preset with the monitor's readings typed in.
    static std::shared_ptr<CResultBP> Typed(const std::shared_ptr<CConfigPBP>& config) {
        auto record = std::make_shared<CResultBP>();
        record->CreateMeasurements(config);
        record->Clear(config);
        record->MeasurementByKey("SYST")->SetValue(Variant(121.0F));
        record->MeasurementByKey("DIAS")->SetValue(Variant(79.0F));
        record->MeasurementByKey("HART")->SetValue(Variant(int16_t{80}));
        return record;
    }
};

TEST_F(ResultBP, MeasurementsFollowThePresetAndItsUnit) {
    CResultBP bare;
    bare.CreateMeasurements(nullptr);
    EXPECT_EQ(Contents(bare), QStringList({"SYST= ||0||0", "DIAS= ||0||0", "HART= BPM||0||0"}));

    // A preset outside the family's table still has the mean pressure its configuration holds.
    auto unknown = Standard();
    unknown->SetTestType(6);
    CResultBP four;
    four.CreateMeasurements(unknown);
    EXPECT_EQ(four.MeasurementCount(), 4);
    ASSERT_NE(four.MeasurementByKey("MAPR"), nullptr);
    EXPECT_EQ(four.MeasurementByKey("MAPR")->GetPresetValue().ToSingle(), 0.0F);

    UseKpa();
    CResultBP kpa;
    kpa.CreateMeasurements(Standard());
    EXPECT_EQ(Contents(kpa), QStringList({"SYST= kPa|16.0|0.0||0", "DIAS= kPa|10.7|0.0||0",
                                          "HART= BPM|80|0||0", "MAPR= kPa|12.4|0.0||0"}));
    EXPECT_EQ(kpa.Measurement(Variant(int32_t{4}))->Description(), "MAP");
}

TEST_F(ResultBP, ClearTakesTheNewPresetAndFlagsMarkEveryReading) {
    const auto config = Standard();
    auto record = Typed(config);
    record->SetComment(QStringLiteral("kept"));
    record->SetMTIID(4);
    config->SetSelectedPreset(4);  // 150/100
    record->Clear(config);
    EXPECT_EQ(Contents(*record),
              QStringList({"SYST= mmHg|150|0||0", "DIAS= mmHg|100|0||0", "HART= BPM|80|0||0",
                           "MAPR= mmHg|117.0|0.0||0"}));  // presets in whole mmHg
    EXPECT_EQ(record->Comment(), "kept");
    EXPECT_EQ(record->MTIID(), 0);

    record->AddFlag(QStringLiteral("I"));
    record->AddFlag(QStringLiteral("i"));
    for (int32_t i = 1; i <= record->MeasurementCount(); ++i) {
        const auto measurement = record->Measurement(Variant(i));
        EXPECT_EQ(measurement->Flags(), "I");
        EXPECT_EQ(measurement->ToolTipText(), "Incomplete test.");
    }
}

TEST_F(ResultBP, AnAbortedRunKeepsNoReadings) {
    auto record = Typed(Standard());
    record->SetComment(QStringLiteral("monitor switched off"));
    record->Evaluate(limits, standards, true);
    EXPECT_EQ(record->Status(), CResultBase::kNotApplicable);
    EXPECT_EQ(record->MeasurementCount(), 0);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord()->Verdict(), "NA");
    EXPECT_EQ(record->ServiceRecord()->Values(), "");
    record->PrintReport(report);
    EXPECT_TRUE(report->Tables().empty());

    const QString text = SavedText(*record);
    EXPECT_FALSE(text.contains("Measurement")) << text.toStdString();
    CResultBP back;
    RoundTrip(*record, back);
    EXPECT_EQ(back.Status(), CResultBase::kNotApplicable);
    EXPECT_EQ(back.Comment(), "monitor switched off");
    EXPECT_EQ(back.ServiceRecord()->Verdict(), "NA");
}

TEST_F(ResultBP, ReportAndRoundTrip) {
    auto record = Typed(Standard());
    record->SetMTIID(2);
    limits->failing = {QStringLiteral("SYST")};
    record->Evaluate(limits, standards, false);
    EXPECT_EQ(record->Status(), CResultBase::kFailed);
    EXPECT_EQ(record->MeasurementByKey("MAPR")->Status(), korotka::CMeasurement::kNotMeasured);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord()->Values(), "/121/79/80");
    EXPECT_EQ(record->ServiceRecord()->Verdict(), "F");

    record->PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 1U);
    EXPECT_EQ(report->Tables().front().title,
              "|{\\i\\b Result:}|{\\i\\b Preset value}|{\\i\\b Recorded value}|{\\i\\b Unit};");
    EXPECT_EQ(report->Tables().front().rows,
              "|      Systolic|120|121|mmHg;|      Diastolic|80|79|mmHg;|      Heart Rate|80|80|BPM;"
              "|      MAP|93.0||mmHg;");

    // Only the evaluated readings are stored; their presets come back as texts.
    CResultBP back;
    RoundTrip(*record, back);
    EXPECT_EQ(Contents(back),
              QStringList({"SYST=121 mmHg|120|0||2", "DIAS=79 mmHg|80|0||1", "HART=80 BPM|80|0||1"}));
    EXPECT_TRUE(back.MeasurementByKey("SYST")->GetPresetValue().IsString());
    EXPECT_EQ(back.MTIID(), 2);
    EXPECT_EQ(back.Status(), CResultBase::kFailed);
    EXPECT_EQ(back.ServiceRecord()->Values(), "/121/79/80");
    EXPECT_EQ(log->Groups().front().caption, "Loading blood pressure test result data");
}

// Writes a result report for a reviewer to look at: a blood-pressure run and a static pressure run.
TEST_F(ResultBP, ReportRendersAsHtml) {
    auto bloodPressure = Typed(Standard());
    limits->failing = {QStringLiteral("DIAS")};
    bloodPressure->Evaluate(limits, standards, false);
    bloodPressure->PrintReport(report);
    korotka::CResultStaticPressure pressure;
    pressure.CreateMeasurements(QStringLiteral("mmHg"));
    pressure.Clear();
    pressure.MeasurementByKey("STAT")->SetValue(Variant(150.0F));
    pressure.SetManometer(149);
    pressure.PrintReport(report);

    const QString html = report->ToHtml();
    EXPECT_TRUE(html.contains("Recorded value"));
    EXPECT_TRUE(html.contains("Korotka Pressure"));
    const QDir artifacts(QCoreApplication::applicationDirPath() + QStringLiteral("/../artifacts"));
    ASSERT_TRUE(artifacts.mkpath(QStringLiteral(".")));
    QFile file(artifacts.filePath(QStringLiteral("result-report.html")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    EXPECT_EQ(file.write(html.toUtf8()), html.toUtf8().size());
}

}  // namespace
