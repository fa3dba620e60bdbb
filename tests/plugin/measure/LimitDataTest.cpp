#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <memory>

#include "driver/GDeclares.h"
#include "host/controls/HostControlCallBack.h"
#include "host/controls/HostXLimitView.h"
#include "host/records/HostPrintJob.h"
#include "host/records/HostStandard.h"
#include "host/records/HostStandardList.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/IDialog.h"
#include "hostapi/IMeasurement.h"
#include "hostapi/ITestElement.h"
#include "hostapi/LimitEntry.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "plugin/config/CConfigLeak.h"
#include "plugin/config/CConfigPBP.h"
#include "plugin/config/CConfigPressure.h"
#include "plugin/config/ConfigFixture.h"
#include "plugin/dialogs/FDialogWrapper.h"
#include "plugin/measure/CKorotkaLimitData.h"
#include "plugin/measure/CMeasurement.h"
#include "support/Raised.h"
#include "support/TestElementStub.h"

using korotka::CKorotkaLimitData;
using korotka::CMeasurement;
using korotka::ebpuKPA;
using korotka::ebpuMMHG;
using korotka::epmuCMH2O;
using korotka::epmuKPA;
using korotka::epmuMMHG;
using korotka::epmuPSI;
using korotka::TESTID_BP;
using korotka::TESTID_BP_NEONATE;
using korotka::TESTID_BP_STD;
using korotka::TESTID_PRESS_LEAK;
using korotka::TESTID_PRESS_RELIEF;
using korotka::TESTID_PRESS_STATIC;
using orvex::ComError;
using orvex::LimitEntry;
using orvex::Variant;

namespace {

using Owner = TestElementStub;

// A reading to be judged.
class Reading : public orvex::IMeasurement {
public:
    Reading(QString key, Variant value, Variant preset, int32_t valueType = 1)
        : key(std::move(key)), value(std::move(value)), preset(std::move(preset)), valueType(valueType) {}
    QString Description() override { return {}; }
    QString Key() override { return key; }
    QString LimitKey() override { return key; }
    int32_t Status() override { return 0; }
    QString Unit() override { return {}; }
    Variant Value() override { return value; }
    Variant PresetValue() override { return preset; }
    int32_t ValueType() override { return valueType; }
    QString ValueFormat() override { return {}; }
    QString Flags() override { return {}; }
    QString ToolTipText() override { return {}; }
    void Load(const std::shared_ptr<orvex::XmlElement>&, const std::shared_ptr<orvex::LoadLog>&) override {}
    std::shared_ptr<orvex::XmlElement> Save(const std::shared_ptr<orvex::XmlElement>&) override {
        return nullptr;
    }

    QString key;
    Variant value;
    Variant preset;
    int32_t valueType;
};

class LimitData : public ConfigFixture {
protected:
    // A limit record owned by a test with the configuration.
    std::shared_ptr<CKorotkaLimitData> Owned(int32_t testId, std::shared_ptr<orvex::IConfigData> config) {
        owner = std::make_shared<Owner>(testId, std::move(config));
        auto limits = std::make_shared<CKorotkaLimitData>();
        limits->SetOwner(owner);
        return limits;
    }

    static std::shared_ptr<korotka::CConfigPressure> Pressure(int32_t unit, float inflate) {
        auto config = std::make_shared<korotka::CConfigPressure>();
        config->SetPressureUnit(unit);
        config->SetInflatePressure(inflate);
        return config;
    }

    static void SetLimit(LimitEntry& entry, int32_t position, float value, bool enabled = true) {
        entry.SetValue(position, value);
        entry.SetEnabled(position, enabled);
    }

    static QStringList Keys(const orvex::Standard& standard) {
        QStringList keys;
        for (int32_t i = 1; i <= standard.Count(); ++i)
            keys << standard.Item(i)->Key() + ":" + standard.Item(i)->Unit();
        return keys;
    }

    static std::shared_ptr<orvex::StandardList> Named(
        std::initializer_list<std::pair<QString, QString>> names) {
        auto list = std::make_shared<orvex::HostStandardList>();
        for (const auto& [alpha, complete] : names) {
            auto standard = std::make_shared<orvex::HostStandard>();
            standard->Initialize(alpha, complete, 1);
            list->Add(standard);
        }
        return list;
    }

    std::shared_ptr<Owner> owner;
};

TEST_F(LimitData, OwnerGivesTheUnitOfItsConfiguration) {
    EXPECT_EQ(Owned(TESTID_PRESS_STATIC, Pressure(epmuKPA, 20))->GetUnitText(), "kPa");
    auto leak = std::make_shared<korotka::CConfigLeak>();
    leak->SetPressureUnit(epmuPSI);
    EXPECT_EQ(Owned(TESTID_PRESS_LEAK, leak)->GetUnitText(), "PSI/min");
    SetSetting(QStringLiteral("BPUnit"), ebpuKPA);
    const auto bloodPressure = std::make_shared<korotka::CConfigPBP>();
    const auto limits = Owned(TESTID_BP_NEONATE, bloodPressure);
    EXPECT_EQ(limits->GetUnitText(), "kPa");
    EXPECT_EQ(limits->Owner(), owner);

    // A test without keys, or a configuration of the wrong kind, leaves the unit as it was.
    limits->SetOwner(std::make_shared<Owner>(TESTID_BP, Pressure(epmuPSI, 1)));
    EXPECT_EQ(limits->GetUnitText(), "kPa");
    limits->SetOwner(std::make_shared<Owner>(TESTID_PRESS_RELIEF, bloodPressure));
    EXPECT_EQ(limits->GetUnitText(), "kPa");
    limits->SetOwner(nullptr);
    EXPECT_EQ(limits->Owner(), nullptr);
}

TEST_F(LimitData, CreateStandardAddsTheTestsDefaultsToOneList) {
    const auto limits = Owned(TESTID_PRESS_STATIC, Pressure(epmuMMHG, 300));
    EXPECT_EQ(limits->Standards(), nullptr);
    const auto first = limits->CreateStandard(Variant("IEC"), Variant("IEC 80601"));
    const auto second = limits->CreateStandard(Variant("AAMI"), Variant(10));
    const auto standards = limits->Standards();
    ASSERT_TRUE(standards);
    ASSERT_EQ(standards->Count(), 2);
    EXPECT_EQ(standards->Item(1), first);
    EXPECT_EQ(standards->Item(2), second);
    EXPECT_EQ(second->CompleteName(), "10");
    EXPECT_EQ(second->Number(), 1);
    EXPECT_EQ(Keys(*first), QStringList({"STAT:mmHg", "MANO:mmHg", "DIFF:mmHg"}));
    EXPECT_EQ(Keys(*second), Keys(*first));

    // Without an owner there are no keys; a name that is no text is the host's error, passed on.
    const auto loose = std::make_shared<CKorotkaLimitData>();
    EXPECT_EQ(loose->CreateStandard(Variant("A"), Variant("B"))->Count(), 0);
    const ComError error = Raised([&] { loose->CreateStandard(Variant::Null(), Variant("B")); });
    EXPECT_EQ(error.Number(), ComError::kInvalidUseOfNull);
    EXPECT_EQ(error.Source(), CKorotkaLimitData::kSource);
    EXPECT_EQ(loose->Standards()->Count(), 1);
}

TEST_F(LimitData, UnitChangedInTheEditorConvertsStandardsAndConfiguration) {
    const auto config = Pressure(epmuMMHG, 300);
    const auto limits = Owned(TESTID_PRESS_STATIC, config);
    for (const char* name : {"IEC", "AAMI"}) {
        const auto standard = limits->CreateStandard(Variant(name), Variant(name));
        SetLimit(*standard->Item(1), LimitEntry::kHigh, 150);
        SetLimit(*standard->Item(2), LimitEntry::kLow, 140, false);
        standard->Item(3)->SetType(LimitEntry::kTypePercent);
        SetLimit(*standard->Item(3), LimitEntry::kHigh, 10);
    }
    const auto dialog = limits->CreateDialog();
    ASSERT_TRUE(dialog);
    dialog->SetCallBack(std::make_shared<orvex::HostControlCallBack>());
    auto* view =
        dynamic_cast<QWidget*>(dialog.get())->findChild<orvex::HostXLimitView*>(QStringLiteral("isc"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->Rows().size(), 3U);
    auto* unit = qobject_cast<QComboBox*>(view->Table()->cellWidget(0, orvex::HostXLimitView::kUnitColumn));
    ASSERT_NE(unit, nullptr);

    unit->setCurrentText(QStringLiteral("kPa"));

    EXPECT_EQ(limits->GetUnitText(), "kPa");
    for (int32_t i = 1; i <= 2; ++i) {
        const auto standard = limits->Standards()->Item(i);
        EXPECT_EQ(Keys(*standard), QStringList({"STAT:kPa", "MANO:kPa", "DIFF:kPa"}));
        // Unrounded: a limit rounded to the unit's decimals would loosen.
        EXPECT_FLOAT_EQ(standard->Item(1)->Value(LimitEntry::kHigh), 150.0F * 0.13332F);
        EXPECT_FLOAT_EQ(standard->Item(2)->Value(LimitEntry::kLow), 140);  // not checked
        EXPECT_FLOAT_EQ(standard->Item(3)->Value(LimitEntry::kHigh), 10);  // a percentage
    }
    EXPECT_EQ(config->PressureUnit(), epmuKPA);
    EXPECT_FLOAT_EQ(config->InflatePressure(), 40.0F);
    // The editor shows the converted limits.
    EXPECT_EQ(view->Table()->item(0, orvex::HostXLimitView::kHighColumn)->text(), "19.998");
    dialog->Unload();
}

// A test without limit sets gets one in the editor, in its own unit, and a typed limit counts: it
// is checked, saved with the test and judges. Text that is no number is refused aloud.
TEST_F(LimitData, TheEditorAddsAndRemovesLimitSetsAndTypedLimitsJudge) {
    const auto limits = Owned(TESTID_PRESS_LEAK, std::make_shared<korotka::CConfigLeak>());
    const auto dialog = limits->CreateDialog();
    ASSERT_TRUE(dialog);
    auto* view =
        dynamic_cast<QWidget*>(dialog.get())->findChild<orvex::HostXLimitView*>(QStringLiteral("isc"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->AddStandard(QStringLiteral("  "), QStringLiteral("no short name")));
    EXPECT_FALSE(view->StatusLabel()->text().isEmpty());
    ASSERT_TRUE(view->AddStandard(QStringLiteral("DEPT"), QStringLiteral("Department leak limit")));
    EXPECT_FALSE(view->AddStandard(QStringLiteral("DEPT"), QStringLiteral("taken")));
    ASSERT_EQ(limits->Standards()->Count(), 1);
    QTableWidgetItem* high = view->Table()->item(0, orvex::HostXLimitView::kHighColumn);
    high->setText(QStringLiteral("4,5x"));
    EXPECT_TRUE(view->StatusLabel()->text().contains("4,5x")) << view->StatusLabel()->text().toStdString();
    high->setText(QStringLiteral("4.5"));
    EXPECT_TRUE(view->StatusLabel()->text().isEmpty());
    const auto entry = limits->Standards()->Item(1)->Item(1);
    EXPECT_EQ(entry->Unit(), "mmHg/min");
    EXPECT_TRUE(entry->Enabled(LimitEntry::kHigh));
    EXPECT_FLOAT_EQ(entry->Value(LimitEntry::kHigh), 4.5F);
    const auto failed = limits->FindFailedStandards(
        std::make_shared<Reading>("RATE", Variant(5.0F), Variant()), limits->Standards());
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->Count(), 1);

    const auto document = xml->CreateDocument();
    document->SetDocumentElement(document->CreateElement(QStringLiteral("TestElement")));
    auto saved = std::make_shared<CKorotkaLimitData>();
    saved->Load(limits->Save(document->DocumentElement()), nullptr);
    ASSERT_TRUE(saved->Standards());
    EXPECT_EQ(saved->Standards()->Item(1)->AlphaName(), "DEPT");

    EXPECT_TRUE(view->RemoveCurrentStandard());
    EXPECT_EQ(limits->Standards()->Count(), 0);
    EXPECT_FALSE(view->RemoveCurrentStandard());
    dialog->Unload();
}

TEST_F(LimitData, OtherEditorEventsChangeNothing) {
    SetSetting(QStringLiteral("BPUnit"), ebpuMMHG);
    const auto limits = Owned(TESTID_BP_STD, std::make_shared<korotka::CConfigPBP>());
    const auto standard = limits->CreateStandard(Variant("IEC"), Variant("IEC"));
    SetLimit(*standard->Item(1), LimitEntry::kHigh, 150);
    const auto dialog = limits->CreateDialog();
    ASSERT_TRUE(dialog);
    const auto callBack = std::make_shared<orvex::HostControlCallBack>();
    dialog->SetCallBack(callBack);

    const auto systolic = standard->Item(1);
    systolic->SetUnit("kPa");
    for (const char* name : {"Change", "Click"}) {
        QString eventName = QString::fromLatin1(name);
        auto parameters =
            orvex::VariantArray::FromList({Variant(std::shared_ptr<orvex::IUnknown>(systolic))});
        callBack->Event(eventName, parameters);
    }
    QString change = QStringLiteral("Change");
    orvex::VariantArray nothing;
    callBack->Event(change, nothing);
    auto text = orvex::VariantArray::FromList({Variant("STAT")});
    callBack->Event(change, text);

    EXPECT_EQ(limits->GetUnitText(), "mmHg");
    EXPECT_FLOAT_EQ(systolic->Value(LimitEntry::kHigh), 150);
    EXPECT_EQ(standard->Item(2)->Unit(), "mmHg");
    dialog->Unload();

    // Without the host's limit editor there is no dialog.
    orvex::ComponentRegistry::Instance().Register(QStringLiteral("OrvexView.XLimitView"),
                                                  [] { return std::shared_ptr<orvex::IUnknown>(); });
    EXPECT_EQ(limits->CreateDialog(), nullptr);
}

TEST_F(LimitData, TwoStandardsRoundTripThroughAFile) {
    const auto limits = Owned(TESTID_PRESS_LEAK, std::make_shared<korotka::CConfigLeak>());
    limits->ChangeUnit(QStringLiteral("kPa/min"));
    for (const char* name : {"IEC", "Local"}) {
        const auto standard = limits->CreateStandard(Variant(name), Variant(QString(name) + " limits"));
        SetLimit(*standard->Item(1), LimitEntry::kHigh, 0.8F);
        SetLimit(*standard->Item(1), LimitEntry::kLow, -2.25F, false);
    }
    const auto second = limits->Standards()->Item(2)->Item(1);
    second->SetOperation(LimitEntry::kHigh, "X+(X*Y%)");
    second->SetType(LimitEntry::kTypePercent);

    const QString path = files.filePath(QStringLiteral("limits.xml"));
    const auto document = xml->CreateDocument();
    document->SetDocumentElement(document->CreateElement(QStringLiteral("TestElement")));
    const auto saved = limits->Save(document->DocumentElement());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->TagName(), "ExpectedResult");
    document->Save(path);

    const auto reread = xml->CreateDocument();
    reread->Load(path);
    const auto loaded = std::make_shared<CKorotkaLimitData>();
    loaded->Load(reread->DocumentElement()->FindChild(QStringLiteral("ExpectedResult")), log);
    EXPECT_EQ(loaded->GetUnitText(), "kPa/min");
    EXPECT_TRUE(log->Entries().empty());
    ASSERT_TRUE(loaded->Standards());
    ASSERT_EQ(loaded->Standards()->Count(), 2);
    for (int32_t i = 1; i <= 2; ++i) {
        const auto want = limits->Standards()->Item(i);
        const auto got = loaded->Standards()->Item(i);
        EXPECT_EQ(got->AlphaName(), want->AlphaName());
        EXPECT_EQ(got->CompleteName(), want->CompleteName());
        EXPECT_EQ(got->Number(), want->Number());
        ASSERT_EQ(got->Count(), want->Count());
        for (int32_t j = 1; j <= want->Count(); ++j) {
            const auto a = want->Item(j);
            const auto b = got->Item(j);
            EXPECT_EQ(b->Key(), a->Key());
            EXPECT_EQ(b->Unit(), a->Unit());
            EXPECT_EQ(b->Type(), a->Type());
            for (const int32_t position : {LimitEntry::kHigh, LimitEntry::kLow}) {
                EXPECT_EQ(b->Value(position), a->Value(position));
                EXPECT_EQ(b->Enabled(position), a->Enabled(position));
                EXPECT_EQ(b->Operation(position), a->Operation(position));
            }
        }
    }
}

TEST_F(LimitData, SaveAndLoadWithoutStandards) {
    const auto limits = Owned(TESTID_PRESS_STATIC, Pressure(epmuMMHG, 300));
    const auto document = xml->CreateDocument();
    document->SetDocumentElement(document->CreateElement(QStringLiteral("TestElement")));
    EXPECT_EQ(limits->Save(document->DocumentElement()), nullptr);
    EXPECT_FALSE(document->DocumentElement()->HasChildren());

    limits->CreateStandard(Variant("IEC"), Variant("IEC"));
    limits->Load(ElementFromFile(QStringLiteral("<ExpectedResult><Noise/></ExpectedResult>")), log);
    EXPECT_EQ(limits->Standards(), nullptr);
    EXPECT_EQ(limits->GetUnitText(), "mmHg");
    // Standards without limits are kept; they say nothing about the unit.
    limits->Load(
        ElementFromFile(QStringLiteral("<ExpectedResult><Standard AlphaName='A'/></ExpectedResult>")), log);
    ASSERT_TRUE(limits->Standards());
    EXPECT_EQ(limits->Standards()->Count(), 1);
    EXPECT_EQ(limits->GetUnitText(), "mmHg");

    for (const auto& element :
         {ElementFromFile(QStringLiteral("<Limits/>")), std::shared_ptr<orvex::XmlElement>()}) {
        const ComError error = Raised([&] { limits->Load(element, log); });
        EXPECT_EQ(error.Number(), CKorotkaLimitData::kErrLoad);
        EXPECT_EQ(error.Source(), CKorotkaLimitData::kSource);
        EXPECT_EQ(error.Category(), 1);
    }
    EXPECT_EQ(limits->Standards()->Count(), 1);
}

TEST_F(LimitData, FindFailedStandardsJudgesOnlyItsOwnStandards) {
    const auto limits = Owned(TESTID_BP_STD, std::make_shared<korotka::CConfigPBP>());
    const auto alpha = limits->CreateStandard(Variant("A"), Variant("Alpha"));
    SetLimit(*alpha->Item(1), LimitEntry::kHigh, 140);
    SetLimit(*alpha->Item(1), LimitEntry::kLow, 90);
    const auto beta = limits->CreateStandard(Variant("B"), Variant("Beta"));
    beta->Item(1)->SetOperation(LimitEntry::kHigh, "X+Y");
    SetLimit(*beta->Item(1), LimitEntry::kHigh, 5);
    const auto run = Named({{"C", "Gamma"}, {"A", "Other"}, {"B", "Beta"}, {"A", "Alpha"}});

    auto judge = [&](const std::shared_ptr<orvex::IMeasurement>& reading) {
        QStringList names;
        if (const auto failed = limits->FindFailedStandards(reading, run)) {
            for (int32_t i = 1; i <= failed->Count(); ++i) {
                EXPECT_TRUE(failed->Item(i) == alpha || failed->Item(i) == beta);
                names << failed->Item(i)->AlphaName();
            }
        }
        return names;
    };
    EXPECT_EQ(judge(std::make_shared<Reading>("SYST", Variant(125.0F), Variant("120"))), QStringList());
    EXPECT_EQ(judge(std::make_shared<Reading>("SYST", Variant(126.0F), Variant("120"))), QStringList({"B"}));
    EXPECT_EQ(judge(std::make_shared<Reading>("SYST", Variant(141.0F), Variant(150.0F))), QStringList({"A"}));
    EXPECT_EQ(judge(std::make_shared<Reading>("SYST", Variant(89.0F), Variant())), QStringList({"B", "A"}));
    EXPECT_EQ(judge(std::make_shared<Reading>("DIAS", Variant(500.0F), Variant())), QStringList());
    EXPECT_EQ(judge(std::make_shared<Reading>("MREL", Variant(false), Variant(), 3)),
              QStringList({"B", "A"}));
    EXPECT_EQ(judge(std::make_shared<Reading>("MREL", Variant(true), Variant(), 3)), QStringList());

    EXPECT_EQ(limits->FindFailedStandards(nullptr, run), nullptr);
    EXPECT_EQ(
        limits->FindFailedStandards(std::make_shared<Reading>("SYST", Variant(500.0F), Variant()), nullptr),
        nullptr);
    const auto empty = std::make_shared<CKorotkaLimitData>();
    EXPECT_EQ(empty->FindFailedStandards(std::make_shared<Reading>("SYST", Variant(500.0F), Variant()), run),
              nullptr);
}

TEST_F(LimitData, ALimitThatCannotBeEvaluatedFailsTheReadingAndSaysWhy) {
    const auto limits = Owned(TESTID_BP_STD, std::make_shared<korotka::CConfigPBP>());
    const auto alpha = limits->CreateStandard(Variant("A"), Variant("Alpha"));
    const auto run = Named({{"A", "Alpha"}});
    const auto judged = [&](const Variant& value, const Variant& preset) {
        auto measurement = std::make_shared<CMeasurement>();
        measurement->Init("SYST", "mmHg", "20350::Systolic", CMeasurement::kTypeDecimal);
        measurement->SetValue(value);
        measurement->SetPresetValue(preset);
        measurement->UpdateStatus(limits, run);
        return measurement;
    };

    // A high limit with an operation nobody knows.
    alpha->Item(1)->SetOperation(LimitEntry::kHigh, "X*Y");
    SetLimit(*alpha->Item(1), LimitEntry::kHigh, 5);
    auto measurement = judged(Variant(120.0F), Variant(120.0F));
    EXPECT_EQ(measurement->Status(), 2);
    EXPECT_TRUE(
        measurement->ToolTipText().startsWith("Failed because a limit could not be evaluated: SYST Alpha"))
        << measurement->ToolTipText().toStdString();

    // A low limit relative to a preset that is no number.
    SetLimit(*alpha->Item(1), LimitEntry::kHigh, 5, false);
    alpha->Item(1)->SetOperation(LimitEntry::kLow, "X+Y");
    SetLimit(*alpha->Item(1), LimitEntry::kLow, -5);
    measurement = judged(Variant(120.0F), Variant("abc"));
    EXPECT_EQ(measurement->Status(), 2);
    EXPECT_TRUE(measurement->ToolTipText().contains("Type mismatch"))
        << measurement->ToolTipText().toStdString();
    // Once the preset reads, the same limit judges again and the reason is gone.
    measurement->SetPresetValue(Variant(120.0F));
    EXPECT_EQ(measurement->UpdateStatus(limits, run), 1);
    EXPECT_EQ(measurement->ToolTipText(), "");
    // A reading of another component is failed all the same.
    const auto failed =
        limits->FindFailedStandards(std::make_shared<Reading>("SYST", Variant(120.0F), Variant("abc")), run);
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->Item(1), alpha);
}

TEST_F(LimitData, CloneCopiesStandardsAndUnitButNotTheOwner) {
    const auto limits = Owned(TESTID_PRESS_STATIC, Pressure(epmuCMH2O, 300));
    const auto standard = limits->CreateStandard(Variant("IEC"), Variant("IEC"));
    SetLimit(*standard->Item(1), LimitEntry::kHigh, 150);
    const auto clone = std::dynamic_pointer_cast<CKorotkaLimitData>(limits->Clone());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->Owner(), nullptr);
    EXPECT_EQ(clone->GetUnitText(), "cmH2O");
    ASSERT_TRUE(clone->Standards());
    EXPECT_NE(clone->Standards(), limits->Standards());
    const auto copied = clone->Standards()->Item(1);
    EXPECT_NE(copied, standard);
    EXPECT_EQ(Keys(*copied), Keys(*standard));
    copied->Item(1)->SetValue(LimitEntry::kHigh, 1);
    EXPECT_FLOAT_EQ(standard->Item(1)->Value(LimitEntry::kHigh), 150);
    EXPECT_EQ(std::make_shared<CKorotkaLimitData>()->Clone()->Standards(), nullptr);
}

TEST_F(LimitData, PrintReportPrintsTheStandardsOfTheRun) {
    const auto limits = Owned(TESTID_PRESS_RELIEF, Pressure(epmuMMHG, 300));
    limits->PrintReport(report, nullptr);
    EXPECT_TRUE(report->Tables().empty());
    SetLimit(*limits->CreateStandard(Variant("IEC"), Variant("IEC"))->Item(1), LimitEntry::kHigh, 300);
    limits->CreateStandard(Variant("AAMI"), Variant("AAMI"));

    limits->PrintReport(report, std::make_shared<orvex::HostPrintJob>(Named({{"IEC", "IEC"}})));
    ASSERT_EQ(report->Tables().size(), 1U);
    EXPECT_EQ(report->Tables()[0].rows, "|Monitor Release Pressure|300 mmHg|;");
    limits->PrintReport(report, nullptr);
    EXPECT_EQ(report->Tables().size(), 3U);
    EXPECT_EQ(Raised([&] { limits->PrintReport(nullptr, nullptr); }).Source(), CKorotkaLimitData::kSource);
}

}  // namespace
