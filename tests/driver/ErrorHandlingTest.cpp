#include <gtest/gtest.h>

#include "driver/GDeclares.h"
#include "driver/MErrorHandling.h"
#include "hostapi/ComError.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using korotka::MErrorHandling;
using namespace korotka;

using ErrorHandlingTest = HostFixture;

TEST_F(ErrorHandlingTest, RaiseUsesTheTranslatedStandardMessageWithItsArgument) {
    auto e = Raised([] {
        MErrorHandling::RaiseVtiError(eeVTI_CmdNoSuchPort, "KorotkaVTI.CChannel", {}, orvex::Variant(3));
    });
    EXPECT_EQ(e.Number(), eeVTI_CmdNoSuchPort);
    EXPECT_EQ(e.Source(), "KorotkaVTI.CChannel");
    EXPECT_EQ(e.Description(),
              "3: The communication port assigned to the instrument was not found on the system.");

    // A description of the raiser's own wins over the standard message and is translated too.
    LoadLanguage("22007=Zeitüberschreitung: keine Antwort vom Gerät.\n22100=Eigener Text %%1\n");
    e = Raised([] { MErrorHandling::RaiseVtiError(eeVTI_MTIResponseTimeout, "src", {}); });
    EXPECT_EQ(e.Description(), QString::fromUtf8("Zeitüberschreitung: keine Antwort vom Gerät."));
    e = Raised([] {
        MErrorHandling::RaiseVtiError(eeVTI_Error, "src", "22100::Own text %%1", orvex::Variant("x"));
    });
    EXPECT_EQ(e.Description(), "Eigener Text x");

    // Numbers without a standard message raise with an empty text; nothing is shown by raising.
    e = Raised([] { MErrorHandling::RaiseVtiError(eeVTI_PortInUse, "src", {}); });
    EXPECT_EQ(e.Number(), eeVTI_PortInUse);
    EXPECT_TRUE(e.Description().isEmpty());
    EXPECT_TRUE(messages->Shown().isEmpty());
}

TEST_F(ErrorHandlingTest, RaiseWithoutLanguageServiceStillRaisesTheNumber) {
    orvex::HostServices::SetLanguage(nullptr);
    auto e = Raised([] { MErrorHandling::RaiseVtiError(eeVTI_MTINotFound, "src", {}); });
    EXPECT_EQ(e.Number(), eeVTI_MTINotFound);
    EXPECT_TRUE(e.Description().isEmpty());
}

TEST_F(ErrorHandlingTest, ReportShowsTheTextAndGeneralisesTheNumber) {
    auto e = Raised([] { MErrorHandling::ReportError(5, "anything", "Overflow", "CKorotkaVTI"); });
    const QString expected = "Unknown error number occured: 5\r\nDescription: Overflow";
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_EQ(e.Source(), "CKorotkaVTI");
    EXPECT_EQ(e.Description(), expected);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->Shown()[0].text, expected);
    EXPECT_EQ(messages->Shown()[0].icon, orvex::MessageService::Icon::Exclamation);
    EXPECT_EQ(messages->Shown()[0].buttons, orvex::MessageService::Buttons::Ok);

    messages->Clear();
    e = Raised([] { MErrorHandling::ReportError(eeVTI_PortInUse, "x", {}, "CKorotkaVTI"); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_TRUE(e.Description().isEmpty());
    EXPECT_TRUE(messages->Shown().isEmpty());

    e = Raised([] { MErrorHandling::ReportError(eeVTI_CmdUserAbort, "x", "stopped", "CChannel"); });
    EXPECT_EQ(e.Number(), eeVTI_CmdUserAbort);
    EXPECT_EQ(e.Description(), "stopped");
}

TEST_F(ErrorHandlingTest, DriverRangeBoundsAreInclusive) {
    EXPECT_TRUE(MErrorHandling::IsDriverError(static_cast<int32_t>(0x8004A462u)));
    EXPECT_TRUE(MErrorHandling::IsDriverError(static_cast<int32_t>(0x8004A47Fu)));
    EXPECT_FALSE(MErrorHandling::IsDriverError(static_cast<int32_t>(0x8004A461u)));
    EXPECT_FALSE(MErrorHandling::IsDriverError(static_cast<int32_t>(0x8004A480u)));

    // Just outside the range is foreign: described with the 22000 text around its own description.
    auto e = Raised(
        [] { MErrorHandling::ReportError(static_cast<int32_t>(0x8004A480u), "x", "odd", "CChannel"); });
    EXPECT_TRUE(e.Description().startsWith("Unknown error number occured: -2147179392"));
    // Inside it, even an unnamed number keeps its own description.
    e = Raised(
        [] { MErrorHandling::ReportError(static_cast<int32_t>(0x8004A47Fu), "x", "own", "CChannel"); });
    EXPECT_EQ(e.Description(), "own");
}

TEST_F(ErrorHandlingTest, ReportStillRaisesWhenNoMessageServiceIsThere) {
    orvex::HostServices::SetMessages(nullptr);
    auto e =
        Raised([] { MErrorHandling::ReportError(eeVTI_MTIResponseTimeout, "x", "late", "CKorotkaVTI"); });
    EXPECT_EQ(e.Number(), eeVTI_Error);
    EXPECT_EQ(e.Description(), "late");
}
