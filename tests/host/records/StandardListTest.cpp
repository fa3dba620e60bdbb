#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>
#include <memory>

#include "host/controls/HostControlCallBack.h"
#include "host/controls/HostXLimitView.h"
#include "host/records/HostLimitEntry.h"
#include "host/records/HostLoadLog.h"
#include "host/records/HostReportContext.h"
#include "host/records/HostReportMarkup.h"
#include "host/records/HostStandard.h"
#include "host/records/HostStandardList.h"
#include "hostapi/CalculatedLimit.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IMeasurement2.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "support/HostFixture.h"
#include "support/LimitDataStub.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::HostLimitEntry;
using orvex::HostStandard;
using orvex::HostStandardList;
using orvex::LimitEntry;
using orvex::Variant;

namespace {

std::shared_ptr<HostLimitEntry> Entry(const QString& key, const QString& unit, float high, float low,
                                      const QString& operation = {}) {
    auto entry = std::make_shared<HostLimitEntry>();
    entry->Initialize(key, unit, {}, {});
    entry->SetValue(LimitEntry::kHigh, high);
    entry->SetEnabled(LimitEntry::kHigh, true);
    entry->SetValue(LimitEntry::kLow, low);
    entry->SetEnabled(LimitEntry::kLow, true);
    entry->SetOperation(LimitEntry::kHigh, operation);
    entry->SetOperation(LimitEntry::kLow, operation);
    return entry;
}

std::shared_ptr<HostStandard> NewStandard(const QString& alpha, const QString& complete,
                                          std::initializer_list<std::shared_ptr<HostLimitEntry>> entries) {
    auto standard = std::make_shared<HostStandard>();
    standard->Initialize(alpha, complete, 1);
    for (const auto& entry : entries) standard->Add(entry);
    return standard;
}

// A limit record as far as the editor asks it: its standards.
class Limits : public LimitDataStub {
public:
    bool HasDialog() override { return true; }
    std::shared_ptr<orvex::StandardList> Standards() override { return standards; }
    std::shared_ptr<HostStandardList> standards = std::make_shared<HostStandardList>();
};

// A measurement that states its limits as text, for the printed table.
class StatedLimits : public orvex::IMeasurement2 {
public:
    Variant GetLimitValue(const std::shared_ptr<orvex::Standard>& standard, int32_t position,
                          int32_t options) override {
        EXPECT_EQ(options, 7);
        return Variant(standard->AlphaName() + (position == LimitEntry::kHigh ? " high" : " low"));
    }
    Variant GetResultValue(int32_t) override { return {}; }
    bool SupportsLimit(const Variant&) override { return true; }
    float CalculateLimitValue(const std::shared_ptr<LimitEntry>&, int32_t) override { return 0; }
    int32_t ValidateLimits(const std::shared_ptr<orvex::Standard>&) override { return 0; }
};

class StandardListTest : public HostFixture {};

TEST_F(StandardListTest, CalculatedLimitsTakeXFromThePreset) {
    const auto plain = Entry("SYST", "mmHg", 140, 90, "Y");
    const auto offset = Entry("SYST", "mmHg", 5, -5, "X+Y");
    const auto percent = Entry("SYST", "mmHg", 10, -10, "X+(X*Y%)");
    const auto calculated =
        std::dynamic_pointer_cast<orvex::CalculatedLimit>(std::shared_ptr<LimitEntry>(offset));
    ASSERT_TRUE(calculated);
    EXPECT_FLOAT_EQ(plain->Calculate(120, LimitEntry::kHigh), 140);
    EXPECT_FLOAT_EQ(Entry("SYST", "mmHg", 140, 90)->Calculate(120, LimitEntry::kLow), 90);
    EXPECT_FLOAT_EQ(calculated->Calculate(120, LimitEntry::kHigh), 125);
    EXPECT_FLOAT_EQ(offset->Calculate(120, LimitEntry::kLow), 115);
    EXPECT_FLOAT_EQ(percent->Calculate(120, LimitEntry::kHigh), 132);
    EXPECT_FLOAT_EQ(percent->Calculate(120, LimitEntry::kLow), 108);

    EXPECT_EQ(Raised([&] { Entry("SYST", "mmHg", 1, 1, "X*Y")->Calculate(1, 0); }).Number(),
              ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { Entry("SYST", "mmHg", 3e38F, 0, "X+Y")->Calculate(3e38F, 0); }).Number(),
              ComError::kOverflow);
    EXPECT_EQ(Raised([&] { percent->Calculate(120, 2); }).Number(), ComError::kSubscriptOutOfRange);
}

TEST_F(StandardListTest, StandardJudgesInclusiveBoundsOfEnabledPositions) {
    const auto strict = Entry("SYST", "mmHg", 135, 95);
    const auto standard = NewStandard("IEC", "IEC 80601", {Entry("SYST", "mmHg", 140, 90), strict});
    EXPECT_EQ(standard->Evaluate("SYST", 135, {}), 0);
    EXPECT_EQ(standard->Evaluate("SYST", 95, {}), 0);
    EXPECT_EQ(standard->Evaluate("SYST", 136, {}), 2);
    EXPECT_EQ(standard->Evaluate("SYST", 94.9F, {}), 2);
    EXPECT_EQ(standard->Evaluate("DIAS", 500, {}), 0);  // no entry for the key
    strict->SetEnabled(LimitEntry::kHigh, false);
    EXPECT_EQ(standard->Evaluate("SYST", 140, {}), 0);
    EXPECT_EQ(standard->Evaluate("SYST", 141, {}), 2);

    // X comes from the preset, text or number; an empty preset counts as 0.
    const auto relative = NewStandard("R", "Relative", {Entry("SYST", "mmHg", 5, -5, "X+Y")});
    EXPECT_EQ(relative->Evaluate("SYST", 125, Variant("120")), 0);
    EXPECT_EQ(relative->Evaluate("SYST", 126, Variant(120.0F)), 2);
    EXPECT_EQ(relative->Evaluate("SYST", 5, {}), 0);
    EXPECT_EQ(Raised([&] { relative->Evaluate("SYST", 1, Variant("abc")); }).Number(),
              ComError::kTypeMismatch);

    // A clone is a copy: editing it leaves the original alone.
    const auto copy = standard->Clone();
    copy->Item(1)->SetValue(LimitEntry::kHigh, 1);
    EXPECT_FLOAT_EQ(standard->Item(1)->Value(LimitEntry::kHigh), 140);
    EXPECT_EQ(copy->AlphaName(), "IEC");
    EXPECT_EQ(copy->Count(), 2);
}

TEST_F(StandardListTest, ListFindsClonesAndReleasesItsStandards) {
    HostStandardList list;
    list.Add(NewStandard("A", "Alpha", {Entry("STAT", "mmHg", 150, 140)}));
    list.Add(NewStandard("A", "Other", {}));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(2)->CompleteName(), "Other");
    EXPECT_EQ(list.Find("A", "Other"), list.Item(2));
    EXPECT_EQ(list.Find("A", "Beta"), nullptr);
    EXPECT_EQ(Raised([&] { list.Item(0); }).Number(), ComError::kSubscriptOutOfRange);
    EXPECT_EQ(Raised([&] { list.Item(3); }).Number(), ComError::kSubscriptOutOfRange);
    EXPECT_EQ(Raised([&] { list.Add(nullptr); }).Number(), ComError::kObjectRequired);

    const auto copy = list.Clone();
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_NE(copy->Item(1), list.Item(1));
    EXPECT_NE(copy->Item(1)->Item(1), list.Item(1)->Item(1));
    EXPECT_FLOAT_EQ(copy->Item(1)->Item(1)->Value(LimitEntry::kHigh), 150);

    list.Release();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(copy->Count(), 2);
}

TEST_F(StandardListTest, LoadLeavesOutWhatDoesNotRead) {
    const auto document = xml->CreateDocument();
    document->LoadText(
        "<L><Other/>"
        "<Standard AlphaName='A' CompleteName='Alpha' Number='3'>"
        "<Limit Key='STAT' Unit='kPa' Type='1' Comment='c'><High Enabled='True' Operation='X+Y'>2.5</High>"
        "<Low Enabled='False'>-1</Low></Limit>"
        "<Limit Unit='kPa'><High Enabled='True'>1</High></Limit>"
        "<Limit Key='MANO'><High Enabled='True'>abc</High></Limit>"
        "<Limit Key='DIFF'><Low Enabled='True'>1e40</Low></Limit>"
        "<Limit Key='RATE' Type='x'/><Limit Key='PEAK'><High Enabled='maybe'/></Limit>"
        "<Limit Key='MREL'/></Standard>"
        "<Standard AlphaName='B' Number='zz'/><Standard/></L>");
    const auto log = std::make_shared<orvex::HostLoadLog>(language);
    HostStandardList list;
    list.Load(document->DocumentElement(), log);

    ASSERT_EQ(list.Count(), 2);
    const auto standard = list.Item(1);
    EXPECT_EQ(standard->Number(), 3);
    ASSERT_EQ(standard->Count(), 2);
    const auto stat = standard->Item(1);
    EXPECT_EQ(stat->Unit(), "kPa");
    EXPECT_EQ(stat->Type(), 1);
    EXPECT_EQ(stat->Comment(), "c");
    EXPECT_TRUE(stat->Enabled(LimitEntry::kHigh));
    EXPECT_EQ(stat->Operation(LimitEntry::kHigh), "X+Y");
    EXPECT_FLOAT_EQ(stat->Value(LimitEntry::kHigh), 2.5F);
    EXPECT_FALSE(stat->Enabled(LimitEntry::kLow));
    EXPECT_FLOAT_EQ(stat->Value(LimitEntry::kLow), -1);
    EXPECT_EQ(standard->Item(2)->Key(), "MREL");  // nothing stored is nothing wrong
    EXPECT_EQ(list.Item(2)->AlphaName(), "");

    std::vector<int32_t> codes;
    for (const auto& entry : log->Entries()) {
        EXPECT_EQ(entry.severity, orvex::LoadLog::kSeverityWarning);
        codes.push_back(entry.code);
    }
    EXPECT_EQ(codes, (std::vector<int32_t>{ComError::kInvalidProcedureCall, ComError::kTypeMismatch,
                                           ComError::kOverflow, ComError::kTypeMismatch,
                                           ComError::kTypeMismatch, ComError::kTypeMismatch}));
    EXPECT_EQ(Raised([&] { list.Load(nullptr, log); }).Number(), ComError::kObjectRequired);
}

TEST_F(StandardListTest, PrintWritesATablePerStandardOfTheSelection) {
    HostStandardList list;
    list.Add(NewStandard("A", "Alpha",
                         {Entry("STAT", "mmHg", 150, 140), Entry("DIFF", "mmHg", 10, 5, "X+(X*Y%)")}));
    list.Add(NewStandard("B", "Beta", {Entry("STAT", "mmHg", 5, -5, "X+Y")}));
    list.Item(2)->Item(1)->SetEnabled(LimitEntry::kLow, false);
    orvex::VariantArray table(0, 1, 0, 2);
    table.At(0, 0) = Variant("STAT");
    table.At(0, 1) = Variant("Pressure");
    table.At(0, 2) = Variant("0.0");
    table.At(1, 0) = Variant("DIFF");
    table.At(1, 1) = Variant("Diff|erence");
    table.At(1, 2) = Variant("0");
    const auto report = std::make_shared<orvex::HostReportContext>(language);

    list.Print(report, nullptr, Variant(table));
    ASSERT_EQ(report->Tables().size(), 2U);
    EXPECT_EQ(report->Tables()[0].title, "|{\\i\\b Alpha (A)}|{\\i\\b High limit}|{\\i\\b Low limit};");
    // A separator in a description is escaped: the table keeps its cells and the text its "|".
    EXPECT_EQ(report->Tables()[0].rows, "|Pressure|150.0 mmHg|140.0 mmHg;|Diff\\|erence|X+(X*10%)|X+(X*5%);");
    EXPECT_EQ(report->Tables()[1].rows, "|Pressure|X+5.0 mmHg|;|Diff\\|erence||;");
    const auto rows = orvex::HostReportMarkup::Rows(report->Tables()[0].rows);
    ASSERT_EQ(rows.size(), 2U);
    ASSERT_EQ(rows[1].size(), 4U);
    EXPECT_EQ(orvex::HostReportMarkup::PlainText(rows[1][1]), "Diff|erence");

    // Only the standards of the run, and with the measurement at hand, its own view of the limits.
    const auto selection = std::make_shared<HostStandardList>();
    selection->Add(NewStandard("B", "Beta", {}));
    orvex::VariantArray withMeasurement(0, 0, 0, 3);
    withMeasurement.At(0, 0) = Variant("SYST");
    withMeasurement.At(0, 1) = Variant("Systolic");
    withMeasurement.At(0, 3) = Variant(std::shared_ptr<orvex::IUnknown>(std::make_shared<StatedLimits>()));
    list.Print(report, selection, Variant(withMeasurement));
    ASSERT_EQ(report->Tables().size(), 3U);
    EXPECT_EQ(report->Tables()[2].rows, "|Systolic|B high|B low;");

    list.Print(report, nullptr, Variant(orvex::VariantArray(0, -1, 0, -1)));
    EXPECT_EQ(report->Tables().size(), 3U);
    EXPECT_EQ(Raised([&] { list.Print(nullptr, nullptr, Variant(table)); }).Number(),
              ComError::kObjectRequired);
}

class LimitEditor : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        limits->standards->Add(NewStandard("A", "Alpha", {Entry("STAT", "mmHg", 150, 140)}));
        limits->standards->Add(
            NewStandard("B", "Beta", {Entry("STAT", "mmHg", 160, 130), Entry("SYST", "mmHg", 5, -5, "X+Y")}));
        view.AddLimit("STAT", "Pressure", "mmHg;kPa", "mmHg;kPa;%");
        view.AddLimit("SYST", "Systolic", "mmHg", "<op>Y;X+Y;X+(X*Y%)</op>");
        callBack->AddListener([this](QString& name, orvex::VariantArray& parameters) {
            events.append(name);
            changed = std::dynamic_pointer_cast<LimitEntry>(parameters.At(0).ToObject());
        });
        view.SetCallBack(callBack);
        view.Initialize(Variant(std::shared_ptr<orvex::IUnknown>(limits)));
    }

    QTableWidgetItem* Cell(int row, int column) const { return view.Table()->item(row, column); }
    QComboBox* Box(int row, int column) const {
        return qobject_cast<QComboBox*>(view.Table()->cellWidget(row, column));
    }
    std::shared_ptr<LimitEntry> Limit(int standard, int entry) const {
        return limits->standards->Item(standard)->Item(entry);
    }

    std::shared_ptr<Limits> limits = std::make_shared<Limits>();
    std::shared_ptr<orvex::HostControlCallBack> callBack = std::make_shared<orvex::HostControlCallBack>();
    orvex::HostXLimitView view;
    QStringList events;
    std::shared_ptr<LimitEntry> changed;
};

TEST_F(LimitEditor, ShowsThePickedStandardsEntries) {
    using V = orvex::HostXLimitView;
    ASSERT_EQ(view.StandardBox()->count(), 2);
    EXPECT_EQ(view.StandardBox()->itemText(1), "B - Beta");
    EXPECT_EQ(Cell(0, V::kHighColumn)->text(), "150");
    EXPECT_EQ(Cell(0, V::kHighColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(Box(0, V::kChoiceColumn)->currentText(), "mmHg");
    EXPECT_EQ(Box(0, V::kUnitColumn)->currentText(), "mmHg");
    // Standard A has no systolic limit: that row offers nothing to edit.
    EXPECT_FALSE(Box(1, V::kChoiceColumn)->isEnabled());
    EXPECT_FALSE(Cell(1, V::kHighColumn)->flags() & Qt::ItemIsEditable);

    view.StandardBox()->setCurrentIndex(1);
    EXPECT_EQ(Cell(0, V::kLowColumn)->text(), "130");
    EXPECT_EQ(Box(1, V::kChoiceColumn)->currentText(), "X+Y");
    EXPECT_EQ(Cell(1, V::kLowColumn)->text(), "-5");
    EXPECT_TRUE(events.isEmpty());  // showing is no edit

    // The pick survives a new Initialize; anything but a limit record leaves the rows empty.
    view.Initialize(Variant(std::shared_ptr<orvex::IUnknown>(limits)));
    EXPECT_EQ(view.StandardBox()->currentIndex(), 1);
    view.Initialize(Variant("no record"));
    EXPECT_EQ(view.StandardBox()->count(), 0);
    EXPECT_EQ(Cell(0, V::kHighColumn)->text(), "");
}

TEST_F(LimitEditor, EditsGoIntoTheEntryAndRaiseChange) {
    using V = orvex::HostXLimitView;
    Cell(0, V::kHighColumn)->setText("155.5");
    EXPECT_FLOAT_EQ(Limit(1, 1)->Value(LimitEntry::kHigh), 155.5F);
    EXPECT_EQ(changed, Limit(1, 1));
    Cell(0, V::kLowColumn)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Limit(1, 1)->Enabled(LimitEntry::kLow));
    Cell(0, V::kHighColumn)->setText("lots");  // no number: the entry keeps its own
    EXPECT_FLOAT_EQ(Limit(1, 1)->Value(LimitEntry::kHigh), 155.5F);
    EXPECT_EQ(Cell(0, V::kHighColumn)->text(), "155.5");

    Box(0, V::kChoiceColumn)->setCurrentText("%");
    EXPECT_EQ(Limit(1, 1)->Operation(LimitEntry::kHigh), orvex::CalculatedLimit::kPercentOffset);
    EXPECT_EQ(Limit(1, 1)->Operation(LimitEntry::kLow), orvex::CalculatedLimit::kPercentOffset);
    EXPECT_EQ(Limit(1, 1)->Type(), LimitEntry::kTypePercent);
    EXPECT_EQ(Limit(1, 1)->Unit(), "mmHg");
    Box(0, V::kChoiceColumn)->setCurrentText("kPa");
    EXPECT_EQ(Limit(1, 1)->Operation(LimitEntry::kHigh), "");
    EXPECT_EQ(Limit(1, 1)->Type(), LimitEntry::kTypeInUnit);
    EXPECT_EQ(Limit(1, 1)->Unit(), "kPa");
    EXPECT_EQ(Box(0, V::kUnitColumn)->currentText(), "kPa");

    events.clear();
    Box(0, V::kUnitColumn)->setCurrentText("mmHg");
    EXPECT_EQ(Limit(1, 1)->Unit(), "mmHg");
    EXPECT_EQ(events, QStringList({"Change"}));

    view.StandardBox()->setCurrentIndex(1);
    Box(1, V::kChoiceColumn)->setCurrentText("X+(X*Y%)");
    EXPECT_EQ(Limit(2, 2)->Operation(LimitEntry::kLow), "X+(X*Y%)");
    EXPECT_EQ(changed, Limit(2, 2));
    EXPECT_EQ(Limit(1, 1)->Unit(), "mmHg");  // the other standard is not touched
}

}  // namespace
