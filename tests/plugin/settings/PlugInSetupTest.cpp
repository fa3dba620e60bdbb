#include <gtest/gtest.h>

#include "hostapi/PropertyBag.h"
#include "hostapi/Registry.h"
#include "hostapi/VariantArray.h"
#include "plugin/frame/PlugInRegistration.h"
#include "plugin/settings/CPlugInSetup.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using korotka::CPlugInSetup;
using orvex::Variant;

namespace {

class PlugInSetup : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        orvexKorotka_RegisterClasses(orvex::ComponentRegistry::Instance());
    }
    QString HostLanguageFolder() const {
        return application->LanguageFolder(QStringLiteral("Korotka"),
                                           QStringLiteral("orvexKorotka.CPlugInSetup"));
    }

    // The blob stored the way the host stores it: a binary registry value.
    static void StoreConfiguration(const QByteArray& blob) {
        std::vector<Variant> bytes;
        for (const char byte : blob) bytes.emplace_back(static_cast<uint8_t>(byte));
        SetSetting(QStringLiteral("Configuration"), orvex::VariantArray::FromList(std::move(bytes)));
    }
};

TEST_F(PlugInSetup, TheBlobRoundTripsThroughTheRegistryAndGuidesTheHostsTexts) {
    CPlugInSetup defaults;
    defaults.Initialize();  // never configured: no value, no error
    EXPECT_EQ(defaults.LngPath(), CPlugInSetup::DefaultLngPath());
    EXPECT_EQ(HostLanguageFolder(), CPlugInSetup::DefaultLngPath());
    orvex::PropertyBag bag;
    ASSERT_TRUE(bag.SetContents(defaults.Settings()));
    EXPECT_EQ(bag.ReadProperty(QStringLiteral("setup id")), CPlugInSetup::kSetupId);
    EXPECT_EQ(bag.Contents(), orvex::PropertyBag(bag).Contents());

    CPlugInSetup setup;
    setup.SetLngPath(QStringLiteral("/opt/korotka/texts"));
    setup.SetConfigFile(QStringLiteral("/opt/korotka/tests.mpc"));
    StoreConfiguration(setup.Settings());
    CPlugInSetup loaded;
    loaded.Initialize();
    EXPECT_EQ(loaded.LngPath(), "/opt/korotka/texts");
    EXPECT_EQ(loaded.ConfigFile(), "/opt/korotka/tests.mpc");
    EXPECT_EQ(loaded.Settings(), setup.Settings());
    EXPECT_EQ(HostLanguageFolder(), "/opt/korotka/texts");
}

TEST_F(PlugInSetup, ForeignOrBrokenSettingsAreRefusedAndChangeNothing) {
    CPlugInSetup setup;
    setup.SetLngPath(QStringLiteral("/opt/korotka/texts"));
    for (const QByteArray& stored :
         {QByteArray(R"([["setup id","Other setup"],["lngpath","/tmp"]])"), QByteArray(R"([["setup id"]])"),
          QByteArray("\xff\xfe"), QByteArray(orvex::PropertyBag::kMaxContents + 10, '[')}) {
        StoreConfiguration(stored);
        const auto e = Raised([&] { setup.Initialize(); });
        EXPECT_EQ(e.Number(), CPlugInSetup::kErrForeignSettings);
        EXPECT_EQ(e.Category(), 1);
        EXPECT_EQ(setup.LngPath(), "/opt/korotka/texts");
        // The host falls back to the plug-in's own folder.
        EXPECT_EQ(HostLanguageFolder(), CPlugInSetup::DefaultLngPath());
    }
    const auto e = Raised([&] { setup.RegLoad(12345, QStringLiteral("Software")); });
    EXPECT_EQ(e.Number(), CPlugInSetup::kErrKeyNotOpened);
}

}  // namespace
