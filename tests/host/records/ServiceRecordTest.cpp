#include <gtest/gtest.h>

#include "host/records/HostLoadLog.h"
#include "host/records/HostServiceRecord.h"
#include "host/visit/HostScript.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::HostServiceRecord;

namespace {

class ServiceRecordTest : public HostFixture {};

TEST_F(ServiceRecordTest, AnUnknownVerdictIsKeptAndLoggedUnderANumberOfItsOwn) {
    auto log = std::make_shared<orvex::HostLoadLog>(language);
    HostServiceRecord record;
    record.Load(
        ElementFromFile("<ServiceRecord><Verdict>Maybe</Verdict><Values>/150/149/1</Values></ServiceRecord>"),
        log);
    EXPECT_EQ(record.Verdict(), "Maybe");
    EXPECT_EQ(record.Values(), "/150/149/1");
    ASSERT_EQ(log->Entries().size(), 1U);
    EXPECT_EQ(log->Entries()[0].code, HostServiceRecord::kErrUnknownVerdict);
    // A script that is no script is another failure: whoever reads the number tells them apart.
    EXPECT_NE(Raised([] { orvex::HostScript::Parse(QStringLiteral("fly")); }).Number(),
              log->Entries()[0].code);

    record.Load(ElementFromFile("<ServiceRecord><Verdict>NA</Verdict></ServiceRecord>"), log);
    EXPECT_EQ(log->Entries().size(), 1U);
}

}  // namespace
