#include <gtest/gtest.h>

#include "host/records/HostTestElementBase.h"
#include "host/records/HostTestElementList.h"
#include "hostapi/IConfigData.h"
#include "hostapi/ILimitData.h"
#include "hostapi/IResultData.h"
#include "hostapi/ITestElement.h"
#include "hostapi/XmlElement.h"
#include "support/HostFixture.h"
#include "support/LimitDataStub.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::HostTestElementBase;
using orvex::XmlDocument;
using orvex::XmlElement;
using ElementPtr = std::shared_ptr<orvex::XmlElement>;
using LogPtr = std::shared_ptr<orvex::LoadLog>;

namespace {

// Records that keep one text and save it under their own tag.
class FakeConfig : public orvex::IConfigData {
public:
    bool HasDialog() override { return false; }
    std::shared_ptr<IConfigData> Clone() override { return std::make_shared<FakeConfig>(*this); }
    std::shared_ptr<orvex::IDialog> CreateDialog() override { return nullptr; }
    void Load(const ElementPtr& element, const LogPtr&) override { value = element->GetAttribute("Value"); }
    ElementPtr Save(const std::shared_ptr<XmlDocument>& document) override {
        auto element = document->CreateElement("PlugInData");
        element->SetAttribute("Value", value);
        return element;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&) override {}
    QString value;
};

class FakeLimits : public LimitDataStub {
public:
    QString Description() override { return value; }
    void SetDescription(const QString& description) override { value = description; }
    std::shared_ptr<ILimitData> Clone() override { return std::make_shared<FakeLimits>(*this); }
    void Load(const ElementPtr& element, const LogPtr&) override { value = element->Text(); }
    ElementPtr Save(const ElementPtr& parent) override {
        auto element = parent->Document()->CreateElement("ExpectedResult");
        element->SetText(value);
        parent->AppendChild(element);
        return element;
    }
    QString value;
};

class FakeResult : public orvex::IResultData {
public:
    QString Comment() override { return value; }
    void SetComment(const QString& comment) override { value = comment; }
    bool HasDialog() override { return false; }
    int32_t Status() override { return 0; }
    std::shared_ptr<orvex::IMeasurement> Measurement(const orvex::Variant&) override { return nullptr; }
    int32_t MeasurementCount() override { return 0; }
    std::shared_ptr<orvex::ServiceRecord> ServiceRecord() override { return nullptr; }
    int32_t MTIID() override { return 0; }
    std::shared_ptr<orvex::IDialog> CreateDialog() override { return nullptr; }
    void Load(const ElementPtr& element, const LogPtr&) override { value = element->GetAttribute("Comment"); }
    ElementPtr Save(const ElementPtr& parent) override {
        if (value == "fail") throw ComError(7, "FakeResult", "cannot save");
        auto element = parent->Document()->CreateElement("ResultItem");
        element->SetAttribute("Comment", value);
        parent->AppendChild(element);
        return element;
    }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&) override {}
    QString value;
};

// A test element that holds only its base; Terminate can be made to fail.
class FakeElement : public orvex::ITestElement {
public:
    explicit FakeElement(int32_t testId) { base->Initialize("Korotka", testId, testId); }
    QString PlugInID() override { return base->PlugInID(); }
    int32_t TestID() override { return base->TestID(); }
    int32_t ID() override { return base->ID(); }
    void SetID(int32_t id) override { base->SetID(id); }
    std::shared_ptr<ITestElement> Parent() override { return base->Parent(); }
    void SetParent(const std::shared_ptr<ITestElement>& parent) override { base->SetParent(parent); }
    std::shared_ptr<orvex::TestElementInfo> Info() override { return base->Info(); }
    std::shared_ptr<orvex::TestElementFilter> Filter() override { return base->Filter(); }
    std::shared_ptr<orvex::IResultData> Result() override { return base->Result(); }
    std::shared_ptr<orvex::ILimitData> Limits() override { return base->Limits(); }
    std::shared_ptr<orvex::IConfigData> Configuration() override { return base->Configuration(); }
    void Initialize(const QString& plugInId, int32_t testId, int32_t id) override {
        base->Initialize(plugInId, testId, id);
    }
    std::shared_ptr<ITestElement> Clone() override { return nullptr; }
    void Perform(const std::shared_ptr<orvex::PerformContext>&) override {}
    void Load(const ElementPtr& element, int32_t option) override { base->Load(element, option); }
    ElementPtr Save(const ElementPtr& parent, int32_t option) override { return base->Save(parent, option); }
    void PrintReport(const std::shared_ptr<orvex::ReportContext>&,
                     const std::shared_ptr<orvex::PrintJob>&) override {}
    bool QuerySetParent(const std::shared_ptr<ITestElement>&) override { return true; }
    void Terminate() override {
        ++terminated;
        if (failTerminate) throw ComError(5, "FakeElement", "refused");
    }
    void UpdateReferences() override {}
    orvex::Variant GetMeasurementList() override { return {}; }

    std::shared_ptr<HostTestElementBase> base = std::make_shared<HostTestElementBase>();
    int terminated = 0;
    bool failTerminate = false;
};

std::shared_ptr<HostTestElementBase> FilledBase() {
    auto base = std::make_shared<HostTestElementBase>();
    base->Initialize("Korotka", 300, 7);
    base->Info()->SetType("Static pressure", "0 - 300 mmHg");
    base->Info()->SetName("Gauge check");
    auto config = std::make_shared<FakeConfig>();
    config->value = "300 mmHg";
    base->SetConfiguration(config);
    auto limits = std::make_shared<FakeLimits>();
    limits->value = "+-3";
    base->SetLimits(limits);
    return base;
}

}  // namespace

using TestElementTest = HostFixture;

TEST_F(TestElementTest, CloneCopiesTheTemplateButNotTheRunOrThePlace) {
    const auto base = FilledBase();
    base->SetResult(std::make_shared<FakeResult>());
    base->Filter()->SetOptions(orvex::TestElementFilter::kServiceRecord);
    auto parent = std::make_shared<FakeElement>(1);
    base->SetParent(parent);
    EXPECT_EQ(base->Parent(), parent);

    const auto clone = base->Clone();
    EXPECT_EQ(clone->PlugInID(), "Korotka");
    EXPECT_EQ(clone->TestID(), 300);
    EXPECT_EQ(clone->ID(), 7);
    EXPECT_EQ(clone->Info()->Parameter(), "0 - 300 mmHg");
    EXPECT_EQ(clone->Filter()->Options(), orvex::TestElementFilter::kServiceRecord);
    EXPECT_EQ(clone->Result(), nullptr);
    EXPECT_EQ(clone->Parent(), nullptr);
    ASSERT_NE(clone->Configuration(), nullptr);
    EXPECT_NE(clone->Configuration(), base->Configuration());
    EXPECT_NE(clone->Limits(), base->Limits());

    // The clone is independent of its template.
    std::dynamic_pointer_cast<FakeConfig>(clone->Configuration())->value = "changed";
    clone->Info()->SetName("Other");
    clone->SetID(8);
    EXPECT_EQ(std::dynamic_pointer_cast<FakeConfig>(base->Configuration())->value, "300 mmHg");
    EXPECT_EQ(base->Info()->Name(), "Gauge check");
    EXPECT_EQ(base->ID(), 7);

    // The parent is not kept alive by its member.
    parent.reset();
    EXPECT_EQ(base->Parent(), nullptr);

    base->Terminate();
    EXPECT_EQ(base->Configuration(), nullptr);
    EXPECT_EQ(base->Limits(), nullptr);
    EXPECT_EQ(base->Result(), nullptr);
}

TEST_F(TestElementTest, SaveAndLoadCarryIdsTextsAndRecords) {
    const auto base = FilledBase();
    auto result = std::make_shared<FakeResult>();
    result->value = "passed";
    base->SetResult(result);

    const auto document = xml->CreateDocument();
    const auto root = document->CreateElement("Sequence");
    document->SetDocumentElement(root);
    const auto saved = base->Save(root, 0);
    EXPECT_EQ(saved->TagName(), "TestElement");
    EXPECT_EQ(saved->GetAttribute("PlugIn"), "Korotka");
    EXPECT_EQ(saved->GetAttribute("TestID"), "300");
    EXPECT_EQ(saved->GetAttribute("ID"), "7");
    EXPECT_EQ(root->ChildCount(), 1);

    const auto reread = xml->CreateDocument();
    reread->LoadText(document->ToText());
    const auto element = reread->DocumentElement()->Child(0);

    HostTestElementBase loaded;
    loaded.Initialize("Korotka", 300, 300);
    loaded.SetConfiguration(std::make_shared<FakeConfig>());
    loaded.SetLimits(std::make_shared<FakeLimits>());
    loaded.Load(element, 0);
    EXPECT_EQ(loaded.ID(), 7);
    EXPECT_EQ(loaded.Info()->Type(), "Static pressure");
    EXPECT_EQ(loaded.Info()->Name(), "Gauge check");
    EXPECT_EQ(loaded.Info()->Description(), "");
    EXPECT_EQ(std::dynamic_pointer_cast<FakeConfig>(loaded.Configuration())->value, "300 mmHg");
    EXPECT_EQ(std::dynamic_pointer_cast<FakeLimits>(loaded.Limits())->value, "+-3");
    // The result is loaded on its own, once the test has made one.
    EXPECT_EQ(loaded.Result(), nullptr);
    EXPECT_EQ(Raised([&] { loaded.Load(element->FindChild("ResultItem"), 0); }).Number(),
              ComError::kObjectRequired);
    loaded.SetResult(std::make_shared<FakeResult>());
    loaded.Load(element->FindChild("ResultItem"), 0);
    EXPECT_EQ(loaded.Result()->Comment(), "passed");

    HostTestElementBase other;
    other.Initialize("Korotka", 100, 100);
    EXPECT_EQ(Raised([&] { other.Load(element, 0); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { other.Load(element->FindChild("Name"), 0); }).Number(),
              ComError::kInvalidProcedureCall);

    // A record that fails to save leaves the parent without a half-written element.
    result->value = "fail";
    EXPECT_EQ(Raised([&] { base->Save(root, 0); }).Number(), 7);
    EXPECT_EQ(root->ChildCount(), 1);
}

TEST_F(TestElementTest, ListInsertsFindsAndCleansUp) {
    orvex::HostTestElementList list;
    auto leak = std::make_shared<FakeElement>(100);
    auto pressure = std::make_shared<FakeElement>(300);
    auto bp = std::make_shared<FakeElement>(401);
    list.Add(leak, nullptr, 1);
    list.Add(pressure, nullptr, 1);
    list.Add(bp, pressure, 0);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(1), leak);
    EXPECT_EQ(list.Item(2), bp);
    EXPECT_EQ(list.Item(3), pressure);
    EXPECT_EQ(list.Item(0), nullptr);
    EXPECT_EQ(list.Item(4), nullptr);
    // A plain list is nobody's group: its members get no parent.
    EXPECT_EQ(leak->Parent(), nullptr);
    EXPECT_EQ(list.FindByTestID(401), bp);
    EXPECT_EQ(list.FindByTestID(402), nullptr);
    EXPECT_EQ(Raised([&] { list.Add(nullptr, nullptr, 1); }).Number(), ComError::kObjectRequired);
    EXPECT_EQ(Raised([&] { list.Add(leak, std::make_shared<FakeElement>(1), 1); }).Number(),
              ComError::kInvalidProcedureCall);

    // One failing Terminate neither spares the others nor keeps the list filled.
    bp->failTerminate = true;
    EXPECT_EQ(Raised([&] { list.CleanUp(); }).Source(), "FakeElement");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(leak->terminated, 1);
    EXPECT_EQ(bp->terminated, 1);
    EXPECT_EQ(pressure->terminated, 1);
}

TEST_F(TestElementTest, TestGuideTitlesAndAsksBeforeAnAbort) {
    using orvex::MessageService;
    const auto element = std::make_shared<FakeElement>(401);
    EXPECT_EQ(testGuide->Title(element), "Test 401");
    element->Info()->SetName("Blood pressure 120/80");
    EXPECT_EQ(testGuide->Title(element), "Blood pressure 120/80");
    EXPECT_EQ(Raised([&] { testGuide->Title(nullptr); }).Number(), ComError::kObjectRequired);

    messages->SetAnswer(MessageService::Answer::No);
    EXPECT_FALSE(testGuide->ConfirmAbort());
    messages->SetAnswer(MessageService::Answer::Yes);
    EXPECT_TRUE(testGuide->ConfirmAbort());
    ASSERT_EQ(messages->Shown().size(), 2);
    EXPECT_EQ(messages->Shown()[0].buttons, MessageService::Buttons::YesNo);
    EXPECT_EQ(messages->Shown()[0].title, "Orvex");
}
