#include <gtest/gtest.h>

#include "host/controls/HostControlCallBack.h"
#include "host/platform/HostInstrumentData.h"
#include "host/records/HostPerformContext.h"
#include "host/records/HostStandard.h"
#include "host/records/HostStandardList.h"
#include "hostapi/Standard.h"
#include "hostapi/StandardList.h"
#include "hostapi/VariantArray.h"
#include "support/HostFixture.h"
#include "support/LimitDataStub.h"
#include "support/Raised.h"
#include "support/TestElementStub.h"

using orvex::ComError;

using RunServicesTest = HostFixture;

TEST_F(RunServicesTest, PerformContextAnswersAndRecords) {
    orvex::HostPerformContext context;
    EXPECT_TRUE(context.QueryPerform(nullptr));
    context.SetPerformAnswer(false);
    EXPECT_FALSE(context.QueryPerform(nullptr));
    context.Navigate(orvex::PerformContext::NavigateNext);
    context.Navigate(orvex::PerformContext::NavigateAbort);
    EXPECT_EQ(context.Navigations(), (QList<int32_t>{0, 2}));
    EXPECT_EQ(context.Standards(), nullptr);

    ASSERT_TRUE(context.HasInstruments());
    const auto instrument = std::make_shared<orvex::HostInstrumentData>();
    context.AddInstrument(instrument);
    ASSERT_EQ(context.Instruments().size(), 1);
    EXPECT_EQ(context.Instruments()[0], instrument);

    orvex::HostPerformContext bare(false);
    EXPECT_FALSE(bare.HasInstruments());
    EXPECT_EQ(Raised([&] { bare.AddInstrument(instrument); }).Number(), ComError::kObjectRequired);
    EXPECT_TRUE(bare.Instruments().isEmpty());
}

TEST(ControlCallBackTest, ListenersHearEventsInOrderAndMayLeaveDuringOne) {
    orvex::HostControlCallBack callBack;
    QStringList heard;
    int second = 0;
    const int first = callBack.AddListener([&](QString& name, orvex::VariantArray& parameters) {
        heard << "1:" + name + QString::number(parameters.Count());
        callBack.RemoveListener(second);  // the next one is not called any more
    });
    second = callBack.AddListener([&](QString& name, orvex::VariantArray&) { heard << "2:" + name; });
    int third = 0;
    third = callBack.AddListener([&](QString& name, orvex::VariantArray&) {
        heard << "3:" + name;
        callBack.RemoveListener(third);  // itself, while running
        callBack.AddListener([&](QString& later, orvex::VariantArray&) { heard << "4:" + later; });
    });

    QString change = "Change";
    orvex::VariantArray none;
    callBack.Event(change, none);
    EXPECT_EQ(heard, (QStringList{"1:Change0", "3:Change"}));

    heard.clear();
    callBack.RemoveListener(first);
    callBack.RemoveListener(12345);
    callBack.Event(change, none);
    EXPECT_EQ(heard, (QStringList{"4:Change"}));
    EXPECT_EQ(Raised([&] { callBack.AddListener(nullptr); }).Number(), ComError::kInvalidProcedureCall);
}

namespace {

class StandardsLimits : public LimitDataStub {
public:
    std::shared_ptr<orvex::StandardList> Standards() override { return standards; }
    std::shared_ptr<orvex::StandardList> standards = std::make_shared<orvex::HostStandardList>();
};

class ElementWithLimits : public TestElementStub {
public:
    ElementWithLimits() : TestElementStub(300) {}
    std::shared_ptr<orvex::ILimitData> Limits() override { return limits; }
    std::shared_ptr<StandardsLimits> limits = std::make_shared<StandardsLimits>();
};

std::shared_ptr<orvex::InstrumentData> Instrument(const QString& name) {
    auto instrument = std::make_shared<orvex::HostInstrumentData>();
    instrument->SetIdentity(name, QString(), QString());
    return instrument;
}

}  // namespace

TEST_F(RunServicesTest, PerformContextLendsCopiesOfTheChosenStandardsAndNumbersInstruments) {
    const auto element = std::make_shared<ElementWithLimits>();
    for (const auto& [alpha, complete] : {std::pair{"IEC", "IEC 80601"}, std::pair{"AAMI", "AAMI SP10"}}) {
        auto standard = std::make_shared<orvex::HostStandard>();
        standard->Initialize(alpha, complete, 1);
        element->limits->standards->Add(standard);
    }
    orvex::HostPerformContext context;
    ASSERT_TRUE(context.QueryPerform(element));
    ASSERT_EQ(context.Standards()->Count(), 2);
    context.SetStandardSelection({"AAMI SP10", "NONE"});
    const auto chosen = context.Standards();
    ASSERT_EQ(chosen->Count(), 1);
    EXPECT_EQ(chosen->Item(1)->AlphaName(), "AAMI");
    // A copy: the test's own limits are not the run's to change.
    EXPECT_NE(chosen->Item(1), element->limits->standards->Item(2));

    context.Navigate(orvex::PerformContext::NavigateAbort);
    EXPECT_TRUE(context.Aborted());
    EXPECT_FALSE(context.QueryPerform(element));
    EXPECT_EQ(Raised([&] { context.Navigate(3); }).Number(), ComError::kInvalidProcedureCall);

    const auto first = Instrument("Korotka");
    const auto other = Instrument("Other");
    const auto second = Instrument("Korotka");
    for (const auto& instrument : {first, other, second}) context.AddInstrument(instrument);
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(other->Index(), 1);
    EXPECT_EQ(second->Index(), 2);
}

TEST_F(RunServicesTest, PerformContextKeepsTheIndexTheElementGaveAnInstrument) {
    // A second Korotka of another name in one run: the element numbers it after the first, and its
    // results name it by that number.
    orvex::HostPerformContext context;
    const auto first = Instrument("Korotka");
    const auto second = Instrument("Korotka 2");
    for (const auto& [instrument, index] : {std::pair{first, 1}, std::pair{second, 2}}) {
        instrument->SetPlugInID("Korotka");
        instrument->SetIndex(index);
        context.AddInstrument(instrument);
    }
    EXPECT_EQ(first->Index(), 1);
    EXPECT_EQ(second->Index(), 2);
    EXPECT_EQ(context.Instruments(), (QList<std::shared_ptr<orvex::InstrumentData>>{first, second}));
}
