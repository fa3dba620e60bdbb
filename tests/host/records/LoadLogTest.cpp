#include <gtest/gtest.h>

#include "host/records/HostLoadLog.h"
#include "hostapi/ComponentRegistry.h"
#include "support/HostFixture.h"

using orvex::HostLoadLog;

namespace {

class LoadLogTest : public HostFixture {
protected:
    void UseGerman() { LoadLanguage("20457=Dichtheitstest laden\n20600=Parameter fehlt\n"); }
};

TEST_F(LoadLogTest, NestsGroupsAndTranslatesWithTheGroupsPlugIn) {
    UseGerman();
    const auto log = std::dynamic_pointer_cast<HostLoadLog>(
        orvex::ComponentRegistry::Instance().Create(QStringLiteral("OrvexTypeLib.LoadLog")));
    ASSERT_TRUE(log);
    log->AddEntry(1, 2, "20600::outside every group");
    log->OpenGroup("Korotka", "20457::Loading leak test configuration data");
    log->OpenGroup("Korotka", "");
    log->AddEntry(-2147179582, 1, "20600::Configuration parameter missing.");
    log->CloseGroup();
    log->AddEntry(7, 1, "not a literal: 20600::x");
    log->CloseGroup();
    log->CloseGroup();  // none open: nothing happens
    log->OpenGroup("Other", "20600::Other plug-in");

    ASSERT_EQ(log->Groups().size(), 3U);
    EXPECT_EQ(log->Groups()[0].caption, "Dichtheitstest laden");
    EXPECT_EQ(log->Groups()[0].parent, HostLoadLog::kNoGroup);
    EXPECT_EQ(log->Groups()[1].parent, 0);
    EXPECT_EQ(log->Groups()[2].caption, "Other plug-in");
    EXPECT_EQ(log->Groups()[2].parent, HostLoadLog::kNoGroup);
    EXPECT_EQ(log->OpenGroups(), 1U);

    ASSERT_EQ(log->Entries().size(), 3U);
    EXPECT_EQ(log->Entries()[0].group, HostLoadLog::kNoGroup);
    EXPECT_EQ(log->Entries()[0].text, "20600::outside every group");
    EXPECT_EQ(log->Entries()[1].group, 1);
    EXPECT_EQ(log->Entries()[1].code, -2147179582);
    EXPECT_EQ(log->Entries()[1].severity, 1);
    EXPECT_EQ(log->Entries()[1].text, "Parameter fehlt");
    EXPECT_EQ(log->Entries()[2].group, 0);
    EXPECT_EQ(log->Entries()[2].text, "not a literal: 20600::x");
}

TEST_F(LoadLogTest, StopsGrowingWhenFull) {
    HostLoadLog log(nullptr);
    for (size_t i = 0; i < HostLoadLog::kMaxRecords + 5; ++i) log.AddEntry(1, 1, "entry");
    EXPECT_EQ(log.Entries().size(), HostLoadLog::kMaxRecords);
    EXPECT_EQ(log.Dropped(), 5);

    for (size_t i = 0; i < HostLoadLog::kMaxRecords; ++i) {
        log.OpenGroup("Korotka", "group");
        log.CloseGroup();
    }
    // A group that is left out still pairs with its CloseGroup, and so do its entries.
    log.OpenGroup("Korotka", "outer");
    log.OpenGroup("Korotka", "inner");
    log.CloseGroup();
    EXPECT_EQ(log.OpenGroups(), 1U);
    log.CloseGroup();
    EXPECT_EQ(log.Groups().size(), HostLoadLog::kMaxRecords);
    EXPECT_EQ(log.Dropped(), 7);
}

}  // namespace
