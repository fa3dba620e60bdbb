#include <gtest/gtest.h>

#include "host/records/HostLoadLog.h"
#include "host/records/HostTestGuideSettings.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/XmlDocument.h"
#include "hostapi/XmlElement.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::HostTestGuideSettings;
using orvex::TestGuideSettings;

namespace {

class TestGuideSettingsTest : public HostFixture {};

TEST_F(TestGuideSettingsTest, SavesLoadsAndClonesTheFlagWord) {
    const auto settings = orvex::ComponentRegistry::Instance().CreateAs<TestGuideSettings>(
        QStringLiteral("OrvexTypeLib.TestGuideSettings"));
    EXPECT_EQ(settings->Flags(), 0);
    settings->SetFlags(0xFF);
    EXPECT_EQ(settings->Flags(), TestGuideSettings::kNotApplicableAllowed | TestGuideSettings::kSkipAllowed);

    const auto document = xml->CreateDocument();
    const auto element = settings->Save(document);
    document->SetDocumentElement(element);
    const auto loaded = std::make_shared<HostTestGuideSettings>();
    loaded->Load(ElementFromFile(document->ToText()), nullptr);
    EXPECT_EQ(loaded->Flags(), 3);

    const auto clone = loaded->Clone();
    loaded->SetFlags(TestGuideSettings::kSkipAllowed);
    EXPECT_EQ(clone->Flags(), 3);
}

TEST_F(TestGuideSettingsTest, UnreadableFlagsLeaveTheDefaultsAndSaySo) {
    auto log = std::make_shared<orvex::HostLoadLog>(language);
    HostTestGuideSettings settings;
    settings.SetFlags(3);
    settings.Load(ElementFromFile("<TestGuideSettings/>"), log);
    EXPECT_EQ(settings.Flags(), 0);
    for (const char* flags : {"4", "-1", "two", "99999999999", "1.5"}) {
        settings.SetFlags(3);
        settings.Load(ElementFromFile(QStringLiteral("<TestGuideSettings Flags=\"%1\"/>").arg(flags)), log);
        EXPECT_EQ(settings.Flags(), 0) << flags;
    }
    ASSERT_EQ(log->Entries().size(), 5U);
    EXPECT_EQ(log->Entries()[2].code, HostTestGuideSettings::kErrBadSettings);
    EXPECT_TRUE(log->Entries()[2].text.contains("\"two\""));
    settings.Load(ElementFromFile("<TestGuideSettings Flags=\" 2 \"/>"), nullptr);
    EXPECT_EQ(settings.Flags(), 2);

    EXPECT_EQ(Raised([&] { settings.Load(ElementFromFile("<Flags/>"), log); }).Number(),
              orvex::ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { settings.Load(nullptr, log); }).Number(), orvex::ComError::kObjectRequired);
}

}  // namespace
