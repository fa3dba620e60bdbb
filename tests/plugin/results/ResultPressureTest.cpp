#include <gtest/gtest.h>

#include <memory>

#include "ResultFixture.h"
#include "hostapi/ComError.h"
#include "hostapi/ServiceRecord.h"
#include "hostapi/VariantArray.h"
#include "plugin/results/CResultLeak.h"
#include "plugin/results/CResultOverPressure.h"
#include "plugin/results/CResultStaticPressure.h"
#include "support/Raised.h"

using korotka::CResultBase;
using korotka::CResultLeak;
using korotka::CResultOverPressure;
using korotka::CResultStaticPressure;
using orvex::Variant;
using orvex::VariantArray;

namespace {

class ResultPressure : public ResultFixture {
protected:
    // A static pressure record in mmHg with the typed-in reading, if any, and the manometer's.
    std::shared_ptr<CResultStaticPressure> StaticRun(const Variant& typed, float manometer) {
        auto record = std::make_shared<CResultStaticPressure>();
        record->CreateMeasurements(QStringLiteral("mmHg"));
        record->Clear();
        if (!typed.IsEmpty()) record->MeasurementByKey(QStringLiteral("STAT"))->SetValue(typed);
        record->SetManometer(manometer);
        return record;
    }

    static VariantArray Reply(const Variant& peak, const Variant& released) {
        return VariantArray::FromList({Variant(int32_t{6}), peak, Variant(QStringLiteral("mmHg")), released});
    }
};

TEST_F(ResultPressure, MeasurementsFollowTheUnitAndAreFoundByKeyOrPosition) {
    CResultStaticPressure record;
    EXPECT_EQ(record.MeasurementCount(), 0);
    EXPECT_EQ(record.Measurement(Variant("STAT")), nullptr);
    record.CreateMeasurements(QStringLiteral("kPa"));
    EXPECT_EQ(Contents(record), QStringList({"STAT= kPa||0.0||0", "MANO= kPa||0.0||0", "DIFF= kPa||0.0||0"}));
    record.CreateMeasurements(QStringLiteral("mmHg"));  // a run in another unit measures in it
    EXPECT_EQ(Contents(record), QStringList({"STAT= mmHg||0||0", "MANO= mmHg||0||0", "DIFF= mmHg||0||0"}));
    record.CreateMeasurements(QStringLiteral("kPa"));
    EXPECT_EQ(record.Measurement(Variant(int32_t{2}))->Key(), "MANO");
    EXPECT_EQ(record.Measurement(Variant(3.0))->Key(), "DIFF");
    EXPECT_EQ(record.Measurement(Variant("DIFF"))->Description(), "Difference");
    for (const Variant& absent : {Variant("stat"), Variant("2"), Variant(int32_t{0}), Variant(int32_t{4}),
                                  Variant(int32_t{-1}), Variant(), Variant::Null(), Variant(1e12)}) {
        EXPECT_EQ(record.Measurement(absent), nullptr) << absent.TypeName().toStdString();
    }

    CResultOverPressure relief;
    relief.CreateMeasurements(QStringLiteral("PSI"));
    EXPECT_EQ(Contents(relief), QStringList({"PEAK= PSI||0.00||0", "MREL= ||||0"}));
    EXPECT_EQ(relief.MeasurementByKey(QStringLiteral("MREL"))->ValueType(),
              korotka::CMeasurement::kTypeYesNo);
    CResultLeak leak;
    leak.CreateMeasurements(QStringLiteral("kPa/min"));
    EXPECT_EQ(Contents(leak), QStringList({"RATE= kPa/min||0.00||0"}));
}

TEST_F(ResultPressure, ManometerSetsTheDifferenceToTheTypedReading) {
    EXPECT_EQ(Contents(*StaticRun(Variant(150.0F), 149)),
              QStringList({"STAT=150 mmHg||0||0", "MANO=149 mmHg||0||0", "DIFF=1 mmHg||0||0"}));
    EXPECT_EQ(StaticRun(Variant(), 149)->MeasurementByKey("DIFF")->GetValue().ToSingle(), -149.0F);
    // Before the first Clear the typed reading is Null, not Empty: still nothing typed.
    CResultStaticPressure fresh;
    fresh.CreateMeasurements(QStringLiteral("mmHg"));
    fresh.SetManometer(10.5F);
    EXPECT_EQ(fresh.MeasurementByKey("DIFF")->GetValue().GetKind(), Variant::Kind::Single);
    EXPECT_FLOAT_EQ(fresh.MeasurementByKey("DIFF")->GetValue().ToSingle(), -10.5F);
    // A typed text that is no number leaves the difference alone.
    const auto garbage = StaticRun(Variant(QStringLiteral("abc")), 5);
    EXPECT_EQ(garbage->MeasurementByKey("DIFF")->GetValue().GetKind(), Variant::Kind::Empty);
    EXPECT_FLOAT_EQ(garbage->MeasurementByKey("MANO")->GetValue().ToSingle(), 5.0F);
    // No measurements yet: nothing to set, nothing breaks.
    CResultStaticPressure empty;
    empty.SetManometer(1);
    EXPECT_EQ(empty.MeasurementCount(), 0);
}

TEST_F(ResultPressure, EvaluationAndServiceRecord) {
    // Only the manometer read: "STAT" stays unevaluated and is not stored.
    auto record = StaticRun(Variant(), 149);
    record->SetMTIID(7);
    record->Evaluate(limits, standards, false);
    EXPECT_EQ(record->Status(), CResultBase::kPassed);
    const QString text = SavedText(*record);
    EXPECT_TRUE(text.contains("Key=\"MANO\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("Key=\"DIFF\""));
    EXPECT_FALSE(text.contains("Key=\"STAT\""));
    EXPECT_FALSE(text.contains("MTI="));

    // The values of a full run, and its verdict.
    record = StaticRun(Variant(150.0F), 149);
    record->Evaluate(limits, standards, false);
    record->CreateServiceRecord(filter);
    ASSERT_NE(record->ServiceRecord(), nullptr);
    EXPECT_EQ(record->ServiceRecord()->Values(), "/150/149/1");
    EXPECT_EQ(record->ServiceRecord()->Verdict(), "");
    limits->failing = {QStringLiteral("DIFF")};
    record->Evaluate(limits, standards, false);
    EXPECT_EQ(record->Status(), CResultBase::kFailed);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord()->Verdict(), "F");

    // Aborted: not applicable, whatever the measurements say.
    record->Evaluate(limits, standards, true);
    EXPECT_EQ(record->Status(), CResultBase::kNotApplicable);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord()->Verdict(), "NA");
    EXPECT_EQ(record->MeasurementCount(), 3);

    // No record without the filter's bit, or before evaluation; Clear drops the old one.
    record->Clear();
    EXPECT_EQ(record->ServiceRecord(), nullptr);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord(), nullptr);
    record->Evaluate(limits, standards, false);
    filter->SetOptions(0);
    record->CreateServiceRecord(filter);
    EXPECT_EQ(record->ServiceRecord(), nullptr);
    record->CreateServiceRecord(nullptr);
    EXPECT_EQ(record->ServiceRecord(), nullptr);
}

TEST_F(ResultPressure, OverPressureFailsWhenTheMonitorDoesNotRelease) {
    CResultOverPressure record;
    record.CreateMeasurements(QStringLiteral("mmHg"));
    record.SetResult(Reply(Variant(QStringLiteral("312")), Variant(false)));
    record.Evaluate(limits, standards, false);
    EXPECT_EQ(record.Status(), CResultBase::kFailed);
    EXPECT_EQ(record.MeasurementByKey("PEAK")->Status(), korotka::CMeasurement::kPassed);

    record.SetResult(Reply(Variant(300.0F), Variant(true)));
    record.Evaluate(limits, standards, false);
    EXPECT_EQ(record.Status(), CResultBase::kPassed);
    record.CreateServiceRecord(filter);
    EXPECT_EQ(record.ServiceRecord()->Values(), "/300/True");

    // A short or two-dimensional reply sets what it has.
    record.Clear();
    record.SetResult(VariantArray::FromList({Variant(int32_t{6}), Variant(250.0F)}));
    EXPECT_FLOAT_EQ(record.MeasurementByKey("PEAK")->GetValue().ToSingle(), 250.0F);
    EXPECT_TRUE(record.MeasurementByKey("MREL")->GetValue().IsEmpty());
    record.SetResult(VariantArray(0, 3, 0, 1));
    record.SetResult(VariantArray());
    EXPECT_FLOAT_EQ(record.MeasurementByKey("PEAK")->GetValue().ToSingle(), 250.0F);

    CResultLeak leak;
    leak.CreateMeasurements(QStringLiteral("mmHg/min"));
    leak.SetResult(VariantArray::FromList({Variant(int32_t{6}), Variant(QStringLiteral("3.5"))}));
    EXPECT_EQ(leak.MeasurementByKey("RATE")->GetValue().GetKind(), Variant::Kind::Single);
    EXPECT_FLOAT_EQ(leak.MeasurementByKey("RATE")->GetValue().ToSingle(), 3.5F);
    leak.SetResult(VariantArray::FromList({Variant(int32_t{6}), Variant(QStringLiteral("ERROR"))}));
    EXPECT_FLOAT_EQ(leak.MeasurementByKey("RATE")->GetValue().ToSingle(), 3.5F);
}

TEST_F(ResultPressure, CommentDecidesTheDialog) {
    CResultLeak record;
    EXPECT_FALSE(record.HasDialog());
    record.SetComment(QStringLiteral("cuff replaced"));
    EXPECT_TRUE(record.HasDialog());
    record.Clear();
    EXPECT_EQ(record.Comment(), "cuff replaced");
    record.SetComment(QString());
    EXPECT_FALSE(record.HasDialog());
    // The dialog holds the record itself, so only a shared record can offer one.
    EXPECT_EQ(record.CreateDialog(), nullptr);
    EXPECT_NE(std::make_shared<CResultLeak>()->CreateDialog(), nullptr);
}

TEST_F(ResultPressure, ReportTable) {
    auto record = StaticRun(Variant(150.0F), 149);
    record->PrintReport(nullptr);
    record->PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 1U);
    const auto& table = report->Tables().front();
    EXPECT_EQ(table.columns, "<+560|<2240|>+1410|>+1410|^+1410|<+!1410|<+560;");
    EXPECT_EQ(table.title, "|{\\i\\b Result:}||{\\i\\b Value}|{\\i\\b Unit};");
    EXPECT_EQ(table.rows,
              "|      Pressure||150|mmHg;|      Korotka Pressure||149|mmHg;|      Difference||1|mmHg;");
    EXPECT_EQ(table.fontSize, 10);
    EXPECT_FALSE(table.bold);
    EXPECT_TRUE(table.keepTogether);

    // Only failures asked for and none failed: nothing printed. A narrow report truncates toward zero.
    report->SetOptions(orvex::ReportContext::kFailedOnly);
    record->Evaluate(limits, standards, false);
    record->PrintReport(report);
    EXPECT_EQ(report->Tables().size(), 1U);
    limits->failing = {QStringLiteral("DIFF")};
    record->Evaluate(limits, standards, false);
    report->SetTableWidth(3361);
    record->PrintReport(report);
    ASSERT_EQ(report->Tables().size(), 2U);
    EXPECT_EQ(report->Tables().back().rows, "|      Difference||1|mmHg;");
    EXPECT_EQ(report->Tables().back().columns, "<+560|<2240|>+0|>+0|^+0|<+!0|<+560;");
}

TEST_F(ResultPressure, RecordsRoundTripThroughFiles) {
    auto staticRun = StaticRun(Variant(150.0F), 149);
    staticRun->SetComment(QStringLiteral("gauge <ok> & \"calibrated\""));
    staticRun->Evaluate(limits, standards, false);
    staticRun->CreateServiceRecord(filter);
    CResultStaticPressure staticBack;
    RoundTrip(*staticRun, staticBack);
    EXPECT_EQ(Contents(staticBack), Contents(*staticRun));
    EXPECT_EQ(staticBack.Status(), CResultBase::kPassed);
    EXPECT_EQ(staticBack.Comment(), staticRun->Comment());
    ASSERT_NE(staticBack.ServiceRecord(), nullptr);
    EXPECT_EQ(staticBack.ServiceRecord()->Values(), "/150/149/1");
    EXPECT_EQ(staticBack.MTIID(), 0);

    CResultOverPressure relief;
    relief.CreateMeasurements(QStringLiteral("kPa"));
    relief.SetResult(Reply(Variant(40.2F), Variant(false)));
    relief.SetMTIID(3);
    limits->failing = {QStringLiteral("PEAK")};
    relief.Evaluate(limits, standards, false);
    relief.CreateServiceRecord(filter);
    CResultOverPressure reliefBack;
    RoundTrip(relief, reliefBack);
    EXPECT_EQ(Contents(reliefBack), QStringList({"PEAK=40.2 kPa||0.0||2", "MREL=False ||||1"}));
    EXPECT_EQ(reliefBack.MTIID(), 3);
    EXPECT_EQ(reliefBack.Status(), CResultBase::kFailed);
    EXPECT_EQ(reliefBack.ServiceRecord()->Verdict(), "F");

    // The leak record keeps the instrument and the text of its status.
    const auto element = ChildFromFile(
        "<T><ResultItem MTI=\"12\"><Status Value=\"1\">held</Status><Comment>ok</Comment>"
        "<Unknown/></ResultItem></T>");
    CResultLeak leak;
    leak.Load(element, log);
    EXPECT_EQ(leak.MTIID(), 12);
    EXPECT_EQ(leak.GetStatusText(), "held");
    EXPECT_EQ(leak.Comment(), "ok");
    EXPECT_EQ(leak.MeasurementCount(), 0);
    CResultLeak leakBack;
    RoundTrip(leak, leakBack);
    EXPECT_EQ(leakBack.MTIID(), 12);
    EXPECT_EQ(leakBack.GetStatusText(), "held");
    EXPECT_EQ(leakBack.Status(), leak.Status());
    leakBack.Clear();
    EXPECT_EQ(leakBack.GetStatusText(), "");
    EXPECT_EQ(leakBack.MTIID(), 0);

    // A stored record keeps only what was judged: one loaded without its measurement gets it back
    // to be measured again, and one loaded with them keeps their readings, in the unit of the run.
    leakBack.CreateMeasurements(QStringLiteral("mmHg/min"));
    ASSERT_EQ(leakBack.MeasurementCount(), 1);
    EXPECT_EQ(Contents(leakBack), QStringList({"RATE= mmHg/min||0.0||0"}));
    const QStringList stored = Contents(staticBack);
    staticBack.CreateMeasurements(QStringLiteral("mmHg"));
    EXPECT_EQ(Contents(staticBack), stored);
    staticBack.CreateMeasurements(QStringLiteral("kPa"));
    EXPECT_EQ(Contents(staticBack), QStringList({"STAT=19.998 kPa||0.0||1", "MANO=19.865 kPa||0.0||1",
                                                 "DIFF=0.13332 kPa||0.0||1"}));
}

TEST_F(ResultPressure, LoadingRejectsWhatIsNoResult) {
    CResultLeak record;
    record.CreateMeasurements(QStringLiteral("mmHg/min"));
    record.SetComment(QStringLiteral("before"));
    orvex::ComError error = Raised([&] { record.Load(ChildFromFile("<T><Result/></T>"), log); });
    EXPECT_EQ(error.Number(), static_cast<int32_t>(0x8004A3EBu));
    EXPECT_EQ(error.Source(), "OrvexKorotka.CResultLeak");
    EXPECT_EQ(log->OpenGroups(), 0U);
    ASSERT_EQ(log->Groups().size(), 1U);
    EXPECT_EQ(log->Groups().front().caption, "Loading leak test result data");
    EXPECT_EQ(record.Comment(), "before");
    EXPECT_EQ(record.MeasurementCount(), 1);
    EXPECT_EQ(Raised([&] { record.Load(nullptr, nullptr); }).Number(), static_cast<int32_t>(0x8004A3EBu));

    // A measurement without a key fails with its own number; two of one key fail too. Nothing is taken.
    error =
        Raised([&] { record.Load(ChildFromFile("<T><ResultItem><Measurement/></ResultItem></T>"), log); });
    EXPECT_EQ(error.Number(), static_cast<int32_t>(0x8004A3FFu));
    EXPECT_EQ(log->OpenGroups(), 0U);
    error = Raised([&] {
        record.Load(ChildFromFile("<T><ResultItem><Comment>x</Comment><Measurement Key=\"RATE\"/>"
                                  "<Measurement Key=\"RATE\"/></ResultItem></T>"),
                    log);
    });
    EXPECT_EQ(error.Number(), CResultBase::kErrDuplicateKey);
    EXPECT_EQ(record.Comment(), "before");
    // An instrument number beyond 32 bits is an error, not a wrapped number.
    error = Raised([&] { record.Load(ChildFromFile("<T><ResultItem MTI=\"99999999999\"/></T>"), log); });
    EXPECT_EQ(error.Number(), orvex::ComError::kOverflow);

    // An unknown verdict of the service history is kept as stored, and the log says so.
    record.Load(ChildFromFile("<T><ResultItem><ServiceRecord><Verdict>maybe</Verdict></ServiceRecord>"
                              "</ResultItem></T>"),
                log);
    EXPECT_EQ(record.ServiceRecord()->Verdict(), "maybe");
    ASSERT_FALSE(log->Entries().empty());
    EXPECT_EQ(log->Entries().back().severity, orvex::LoadLog::kSeverityWarning);
    // The history takes no entry its filter did not ask for.
    filter->SetOptions(0);
    EXPECT_EQ(Raised([&] { record.ServiceRecord()->Initialize(filter, "F", "/1"); }).Number(),
              orvex::ComError::kInvalidProcedureCall);
    EXPECT_EQ(record.ServiceRecord()->Verdict(), "maybe");

    // The static pressure record never reads an instrument.
    CResultStaticPressure pressure;
    pressure.Load(ChildFromFile("<T><ResultItem MTI=\"12\"/></T>"), log);
    EXPECT_EQ(pressure.MTIID(), 0);
    EXPECT_EQ(log->Groups().back().caption, "Loading static pressure test result data");

    // Saving without a place to save to.
    EXPECT_EQ(Raised([&] { pressure.Save(nullptr); }).Number(), static_cast<int32_t>(0x8004A3ECu));
}

}  // namespace
