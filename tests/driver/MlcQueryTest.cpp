#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "driver/CChannel.h"
#include "driver/CKorotkaMlcQuery.h"
#include "driver/DriverRegistration.h"
#include "hostapi/ComponentRegistry.h"
#include "support/SimulatorFixture.h"

using korotka::CKorotkaMlcQuery;

using MlcQueryTest = SimulatorFixture;

TEST_F(MlcQueryTest, FindsTheKorotkaAndFreesThePortAgain) {
    orvexKorotkaVTI_RegisterClasses(orvex::ComponentRegistry::Instance());
    const auto query = orvex::ComponentRegistry::Instance().CreateAs<orvex::IOrvexMLCQuery>(
        "orvexKorotkaVTI.CKorotkaMlcQuery");
    EXPECT_TRUE(query->MtiType().IsEmpty());
    EXPECT_TRUE(query->SerialNo().isEmpty());
    EXPECT_TRUE(query->FWVersion().isEmpty());

    const orvex::InstrumentInfo info = query->QueryMTI(kPort);
    EXPECT_EQ(info.name, "Korotka");
    EXPECT_EQ(info.serialNo, "KT-0001234");
    EXPECT_EQ(info.fwVersion, "2.10");
    EXPECT_EQ(info.found, 1);
    EXPECT_EQ(sim->ReceivedCommands(), (std::vector<std::string>{"[BP_SERIAL]", "[BP_VERSION]"}));
    EXPECT_TRUE(messages->Shown().isEmpty());

    korotka::CChannel next;
    next.Open(kPort, "9600,N,8,1");
}

TEST_F(MlcQueryTest, ReadsTheVersionAfterVerOrFromTheFourthCharacter) {
    sim->SetAutoReply(false);
    CKorotkaMlcQuery query;
    sim->Schedule({{50, "\x06SER-9\r\n"}, {150, "\x06Model01 Ver 2.10\r\n"}});
    orvex::InstrumentInfo info = query.QueryMTI(kPort);
    EXPECT_EQ(info.serialNo, "SER-9");
    EXPECT_EQ(info.fwVersion, "2.10");

    sim->Schedule({{50, "\x06S\r\n"},
                   {150,
                    "\x06"
                    "ABCDEFGHIJ\r\n"}});
    info = query.QueryMTI(kPort);
    EXPECT_EQ(info.fwVersion, "DEFGHIJ");
    EXPECT_EQ(info.found, 1);
}

TEST_F(MlcQueryTest, AnInstrumentThatDoesNotAnswerProperlyIsNotFound) {
    CKorotkaMlcQuery query;
    // Refusals and line noise are no identity.
    sim->SetFault(korotkasim::Fault::Nak);
    EXPECT_EQ(query.QueryMTI(kPort).found, 0);
    sim->SetFault(korotkasim::Fault::Garbage);
    EXPECT_EQ(query.QueryMTI(kPort).found, 0);
    EXPECT_TRUE(messages->Shown().isEmpty());

    // Silence: four windows for the serial number, the version is not asked.
    sim->SetFault(korotkasim::Fault::Silence);
    sim->ClearReceived();
    QElapsedTimer clock;
    clock.start();
    const orvex::InstrumentInfo info = query.QueryMTI(kPort);
    EXPECT_GE(clock.elapsed(), 3900);
    EXPECT_LT(clock.elapsed(), 5500);
    EXPECT_EQ(info.found, 0);
    EXPECT_TRUE(info.name.isEmpty());
    EXPECT_TRUE(info.serialNo.isEmpty());
    EXPECT_EQ(sim->ReceivedCommands(), std::vector<std::string>{"[BP_SERIAL]"});
    EXPECT_TRUE(messages->Shown().isEmpty());
    korotka::CChannel next;
    next.Open(kPort, "9600,N,8,1");
}

TEST_F(MlcQueryTest, APortThatCannotBeOpenedIsShownOnceAndNotFound) {
    korotka::CChannel holder;
    holder.Open(kPort, "9600,N,8,1");
    CKorotkaMlcQuery query;
    EXPECT_EQ(query.QueryMTI(kPort).found, 0);
    ASSERT_EQ(messages->Shown().size(), 1);
    EXPECT_EQ(messages->Shown()[0].text,
              "1: The communication port was not available.  It may be in use by another application.");
    // Port numbers the driver cannot hold are simply not found.
    EXPECT_EQ(query.QueryMTI(70000).found, 0);
    EXPECT_EQ(query.QueryMTI(-5).found, 0);
}
