#include <gtest/gtest.h>

#include "host/platform/HostErrorService.h"
#include "support/Raised.h"

using orvex::ComError;

TEST(ErrorServiceTest, RaiseGivesTheHostsTextAndReportErrorKeepsTheError) {
    orvex::HostErrorService service;
    auto e = Raised([&] {
        service.Raise("Korotka", static_cast<int32_t>(0x8004A233u), "OrvexKorotka.CPlugInKorotka", 1);
    });
    EXPECT_EQ(e.Number(), static_cast<int32_t>(0x8004A233u));
    EXPECT_EQ(e.Source(), "OrvexKorotka.CPlugInKorotka");
    EXPECT_EQ(e.Description(), "There is no template for this test.");
    EXPECT_EQ(e.Category(), 1);

    e = Raised([&] { service.Raise("Korotka", static_cast<int32_t>(0x8004A0FFu), "src", 4); });
    EXPECT_EQ(e.Description(), "Error 0x8004A0FF in src");
    EXPECT_EQ(Raised([&] { service.Raise({}, 5, "x", 3); }).Description(), "Error 0x00000005 in x");

    e = Raised([&] {
        service.ReportError(ComError(static_cast<int32_t>(0x8004A68Bu), "Registry", "no key", 3), "Outer");
    });
    EXPECT_EQ(e.Number(), static_cast<int32_t>(0x8004A68Bu));
    EXPECT_EQ(e.Source(), "Outer");
    EXPECT_EQ(e.Description(), "no key");
    EXPECT_EQ(e.Category(), 3);
}
