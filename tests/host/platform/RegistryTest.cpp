#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "host/platform/HostRegistry.h"
#include "host/platform/HostSettingsFile.h"
#include "hostapi/ComError.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::ComError;
using orvex::HostRegistry;
using orvex::Registry;
using orvex::Variant;
using orvex::VariantArray;

namespace {

const QString kTimeouts = QStringLiteral("Software\\Marrick\\Orvex\\Korotka\\Timeouts\\Comm");
const QString kSettingsKey =
    QStringLiteral("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Timeouts/Comm/Seconds");

}  // namespace

using RegistryTest = HostFixture;

TEST_F(RegistryTest, KeysAndValuesMapOntoTheSettingsFile) {
    const auto registry = orvex::ComponentRegistry::Instance().CreateAs<Registry>("OrvexTypeLib.Registry");
    registry->OpenKey(Registry::kHkeyLocalMachine, kTimeouts);
    registry->WriteValue("Seconds", Variant(int32_t{9}));
    {
        QSettings settings(orvex::HostSettingsFile::Path(), QSettings::IniFormat);
        EXPECT_EQ(settings.value(kSettingsKey).toInt(), 9);
        settings.setValue("HKEY_CURRENT_USER/Software/Orvex/Language", "German");
    }
    registry->OpenKey(Registry::kHkeyCurrentUser, "\\Software\\Orvex\\");
    EXPECT_EQ(registry->ReadValue("Language").ToString(), "German");

    // A new reader sees what another wrote; the value came back as a number.
    HostRegistry reader;
    reader.OpenKey(Registry::kHkeyLocalMachine, kTimeouts);
    const Variant seconds = reader.ReadValue("Seconds");
    EXPECT_EQ(seconds.GetKind(), Variant::Kind::Long);
    EXPECT_EQ(seconds.ToLong(), 9);
}

TEST_F(RegistryTest, AnUnreadableSettingsFileReadsAsEmptyAndRefusesWrites) {
    // A folder where the file should be: nothing can be read from it or written to it.
    const QString folder = registryDir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folder));
    qputenv("ORVEX_REGISTRY", folder.toUtf8());
    HostRegistry registry;
    registry.OpenKey(Registry::kHkeyLocalMachine, kTimeouts);
    EXPECT_EQ(Raised([&] { registry.ReadValue("Seconds"); }).Number(), Registry::kErrValueNotFound);
    EXPECT_EQ(Raised([&] { registry.WriteValue("Seconds", Variant(1)); }).Number(),
              Registry::kErrAccessDenied);
}

TEST_F(RegistryTest, MissingKeysHivesAndValuesHaveTheirNumbers) {
    HostRegistry registry;
    EXPECT_EQ(Raised([&] { registry.ReadValue("Seconds"); }).Number(), Registry::kErrKeyNotOpened);
    EXPECT_EQ(Raised([&] { registry.WriteValue("Seconds", Variant(1)); }).Number(),
              Registry::kErrKeyNotOpened);

    // A key without values opens: reading finds no value in it.
    registry.OpenKey(Registry::kHkeyLocalMachine, "Software\\Nobody");
    EXPECT_EQ(Raised([&] { registry.ReadValue("Seconds"); }).Number(), Registry::kErrValueNotFound);
    EXPECT_EQ(Raised([&] { registry.ReadValue("a/b"); }).Number(), ComError::kInvalidProcedureCall);
    EXPECT_EQ(Raised([&] { registry.ReadValue(""); }).Number(), ComError::kInvalidProcedureCall);

    // An unknown hive closes the key that was open.
    EXPECT_EQ(Raised([&] { registry.OpenKey(0, kTimeouts); }).Number(), Registry::kErrKeyNotOpened);
    EXPECT_EQ(Raised([&] { registry.ReadValue("Seconds"); }).Number(), Registry::kErrKeyNotOpened);
    EXPECT_EQ(Raised([&] { registry.OpenKey(static_cast<int32_t>(0x80000003u), kTimeouts); }).Number(),
              Registry::kErrKeyNotOpened);
}

TEST_F(RegistryTest, TextIsALongOnlyWhenItIsAWholeNumberInRange) {
    HostRegistry registry;
    registry.OpenKey(Registry::kHkeyLocalMachine, "Software\\Values");
    const auto kindOf = [&](const QString& text) {
        registry.WriteValue("v", Variant(text));
        return registry.ReadValue("v").GetKind();
    };
    EXPECT_EQ(kindOf("-2147483648"), Variant::Kind::Long);
    EXPECT_EQ(kindOf("007"), Variant::Kind::Long);
    EXPECT_EQ(kindOf("2147483648"), Variant::Kind::String);
    EXPECT_EQ(kindOf("12.5"), Variant::Kind::String);
    EXPECT_EQ(kindOf(" 7"), Variant::Kind::String);
    EXPECT_EQ(kindOf("-"), Variant::Kind::String);
    EXPECT_EQ(kindOf(""), Variant::Kind::String);
    // Text that looks like a stored byte array stays text.
    registry.WriteValue("v", Variant("@ByteArray(AAE=), 2"));
    EXPECT_EQ(registry.ReadValue("v").ToString(), "@ByteArray(AAE=), 2");

    registry.WriteValue("flag", Variant(true));
    EXPECT_EQ(registry.ReadValue("flag").ToLong(), -1);
    EXPECT_EQ(Raised([&] {
                  registry.WriteValue("v", Variant(QString(HostRegistry::kMaxValueSize + 1, 'x')));
              }).Number(),
              ComError::kInvalidProcedureCall);
}

TEST_F(RegistryTest, BinaryValuesRoundTripAsArraysOfByte) {
    HostRegistry registry;
    registry.OpenKey(Registry::kHkeyLocalMachine, "Software\\Marrick\\Orvex\\Korotka");
    VariantArray bytes(5, 260);  // every byte value, from any lower bound
    for (int32_t i = 0; i < 256; ++i) bytes.At(5 + i) = Variant(static_cast<uint8_t>(i));
    registry.WriteValue("Configuration", Variant(bytes));
    registry.WriteValue("Empty", Variant(VariantArray()));

    HostRegistry reader;
    reader.OpenKey(Registry::kHkeyLocalMachine, "Software\\Marrick\\Orvex\\Korotka");
    const Variant read = reader.ReadValue("Configuration");
    ASSERT_TRUE(read.IsArray());
    const VariantArray& array = read.ToArray();
    EXPECT_EQ(array.LBound(), 0);
    ASSERT_EQ(array.Count(), 256);
    for (int32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(array.At(i).GetKind(), Variant::Kind::Byte);
        EXPECT_EQ(array.At(i).ToByte(), i);
    }
    EXPECT_EQ(reader.ReadValue("Empty").ToArray().Count(), 0);

    EXPECT_EQ(
        Raised([&] { registry.WriteValue("x", Variant(VariantArray::FromList({Variant(1)}))); }).Number(),
        ComError::kTypeMismatch);
    QSettings(orvex::HostSettingsFile::Path(), QSettings::IniFormat)
        .setValue("HKEY_LOCAL_MACHINE/Software/Marrick/Orvex/Korotka/Broken", QByteArray("not base64!"));
    EXPECT_EQ(Raised([&] { reader.ReadValue("Broken"); }).Number(), ComError::kTypeMismatch);
}
