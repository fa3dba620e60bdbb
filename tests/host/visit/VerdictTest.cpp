#include <gtest/gtest.h>

#include "host/visit/HostVerdict.h"
#include "hostapi/ITestElement.h"
#include "support/PlugInFixture.h"

using orvex::HostVerdict;
using VerdictTest = PlugInFixture;

// A failed test fails the visit whatever else it holds; a visit passes only when every test passed
// or does not apply; anything else, an empty visit included, is incomplete.
TEST_F(VerdictTest, OneFailureFailsAndOnlyAFullSetOfPassesPasses) {
    const struct {
        std::vector<int> statuses;
        HostVerdict::Overall overall;
    } cases[] = {
        {{}, HostVerdict::Overall::Incomplete},    {{1, 3}, HostVerdict::Overall::Passed},
        {{3}, HostVerdict::Overall::Passed},       {{1, 0}, HostVerdict::Overall::Incomplete},
        {{0, 2, 1}, HostVerdict::Overall::Failed}, {{1, 7}, HostVerdict::Overall::Incomplete},
    };
    for (const auto& item : cases) {
        const auto sequence = WithStatuses(item.statuses);
        ASSERT_EQ(sequence.Tests().size(), static_cast<qsizetype>(item.statuses.size()));
        EXPECT_EQ(HostVerdict::Of(sequence), item.overall) << ::testing::PrintToString(item.statuses);
    }
    EXPECT_EQ(HostVerdict::Word(HostVerdict::Overall::Failed), "FAILED");
    // A pass that no limit judged proves nothing: the test is not judged, the visit incomplete.
    const auto unjudged = WithStatuses({1, 1}, false);
    EXPECT_EQ(HostVerdict::Of(unjudged), HostVerdict::Overall::Incomplete);
    EXPECT_EQ(HostVerdict::TestWord(*unjudged.Tests()[0]), HostVerdict::kNotJudged);
    EXPECT_EQ(HostVerdict::TestWord(*WithStatuses({1}).Tests()[0]), "passed");
}
