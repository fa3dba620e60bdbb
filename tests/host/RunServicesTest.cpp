#include <gtest/gtest.h>

#include "host/HostControlCallBack.h"
#include "host/HostInstrumentData.h"
#include "host/HostPerformContext.h"
#include "hostapi/VariantArray.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

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
