#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "host/session/HostKorotka.h"
#include "hostapi/VariantArray.h"
#include "sim/SimOptions.h"
#include "support/HostFixture.h"

using orvex::Variant;
using orvex::VariantArray;

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

}  // namespace

using LanguageServiceTest = HostFixture;

TEST_F(LanguageServiceTest, TranslatesKnownNumbersAndFallsBackToTheLiteralsText) {
    QTemporaryDir dir;
    const QString path =
        WriteFile(dir, "German.lng",
                  "# comment line\r\n20180=mmHg (de)\r\n22000=Fehler %%1\\r\\nBeschreibung: %%2\n"
                  "not a number=x\n=empty\n 20181 = kPa de\n");
    QString error;
    ASSERT_TRUE(language->LoadFile("Korotka", path, &error)) << error.toStdString();

    EXPECT_EQ(language->GetText("Korotka", "20180::mmHg", {}), "mmHg (de)");
    EXPECT_EQ(language->GetText("Korotka", "20181::kPa", {}), " kPa de");
    EXPECT_EQ(language->GetText("Korotka", "20999::Unknown", {}), "Unknown");
    // Tables belong to one plug-in.
    EXPECT_EQ(language->GetText("Other", "20180::mmHg", {}), "mmHg");
    // Texts that are no literal are shown as they are.
    EXPECT_EQ(language->GetText("Korotka", "plain text", {}), "plain text");
    EXPECT_EQ(language->GetText("Korotka", "abc::def", {}), "def");
    EXPECT_EQ(language->GetText("Korotka", "::x", {}), "::x");
    EXPECT_EQ(language->GetText("Korotka", "22000::Error %%1",
                                VariantArray::FromList({Variant(5), Variant("Overflow")})),
              "Fehler 5\r\nBeschreibung: Overflow");

    EXPECT_FALSE(language->LoadFile("Korotka", dir.filePath("missing.lng"), &error));
    EXPECT_TRUE(error.contains("missing.lng"));
}

TEST_F(LanguageServiceTest, SubstitutionIsOnePassAndLeavesUnfilledPlaceholders) {
    using orvex::HostLanguageService;
    const auto params = VariantArray::FromList({Variant("%%2"), Variant(2.5)});
    EXPECT_EQ(HostLanguageService::Substitute("a %%1 b %%2 c %%3", params), "a %%2 b 2.5 c %%3");
    EXPECT_EQ(HostLanguageService::Substitute("%%0 %% %%x 100%", params), "%%0 %% %%x 100%");
    EXPECT_EQ(HostLanguageService::Substitute("%%99999999999999", params), "%%99999999999999");
    // Parameters may come with any lower bound.
    VariantArray oneBased(1, 1);
    oneBased.At(1) = Variant("COM3");
    EXPECT_EQ(HostLanguageService::Substitute("%%1: busy", oneBased), "COM3: busy");
}

TEST(HostPortTableTest, NumbersDevicesFromOneAndReusesKnownOnes) {
    orvex::HostPortTable table;
    EXPECT_TRUE(table.DevicePath(1).isEmpty());
    EXPECT_EQ(table.PortOf("/dev/ttyUSB0"), 1);
    table.Assign(2, "/dev/pts/7");
    EXPECT_EQ(table.PortOf("/dev/ttyUSB1"), 3);
    EXPECT_EQ(table.PortOf("/dev/ttyUSB0"), 1);
    table.Remove(1);
    EXPECT_EQ(table.PortOf("/dev/ttyS0"), 1);
    EXPECT_EQ(table.DevicePath(2), "/dev/pts/7");
}

// A window runs each visit on a simulator of its own, on a new pseudo-terminal: the driver must
// find the Korotka on the newest one, not on one let go of after an earlier run.
using RegistrationTest = HostFixture;

TEST_F(RegistrationTest, TheKorotkaIsRegisteredOnTheLastPortItWasGiven) {
    const int32_t first = orvex::HostKorotka::Register(*environment, "/dev/pts/5", "KT-1", "2.10");
    const int32_t second = orvex::HostKorotka::Register(*environment, "/dev/pts/9", "KT-1", "2.10");
    ASSERT_NE(first, second);
    EXPECT_EQ(instruments->PortOf(orvex::HostKorotka::kName, QString()), second);
    EXPECT_EQ(instruments->PortOf(orvex::HostKorotka::kName, "KT-1"), second);
    EXPECT_EQ(instruments->InfoOf(first).found, 0);
}

// The port in the settings, and the simulator, say why they fail; a port or a running simulator
// otherwise.
TEST_F(RegistrationTest, TheSettingsPortAndTheSimulatorSayWhyTheyFail) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("Registry.ini"), QSettings::IniFormat);
    auto port = orvex::HostKorotka::PortInSettings(*ports, *instruments, settings);
    ASSERT_FALSE(port);
    EXPECT_TRUE(port.Why().startsWith("no Korotka is registered in " + settings.fileName()))
        << port.Why().toStdString();
    settings.setValue("Instruments/7/Name", orvex::HostKorotka::kName);
    port = orvex::HostKorotka::PortInSettings(*ports, *instruments, settings);
    ASSERT_FALSE(port);
    EXPECT_TRUE(port.Why().contains("registered on port 7, but")) << port.Why().toStdString();
    settings.setValue("Ports/7", "/dev/ttyUSB3");
    port = orvex::HostKorotka::PortInSettings(*ports, *instruments, settings);
    ASSERT_TRUE(port) << port.Why().toStdString();
    EXPECT_EQ(*port, 7);

    korotkasim::SimOptions unsound;
    unsound.timeScale = -1;
    const auto refused = orvex::HostKorotka::StartSimulator(unsound);
    ASSERT_FALSE(refused);
    EXPECT_FALSE(refused.Why().isEmpty());
    const auto started = orvex::HostKorotka::StartSimulator(korotkasim::SimOptions{});
    ASSERT_TRUE(started) << started.Why().toStdString();
    EXPECT_TRUE(QFile::exists(started->devicePath));
    EXPECT_EQ(started->serialNo, "KT-0001234");
    EXPECT_NE(started->keepAlive, nullptr);
}

TEST(HostMessageServiceTest, RecordsEveryMessageAndAnswersWithTheFirstButton) {
    orvex::HostMessageService service(orvex::HostMessageService::Mode::Record);
    using MS = orvex::MessageService;
    EXPECT_EQ(service.Show("one", MS::Icon::Exclamation, MS::Buttons::Ok, {}), MS::Answer::Ok);
    EXPECT_EQ(service.Show("two", MS::Icon::Question, MS::Buttons::YesNo, "t"), MS::Answer::Yes);
    service.SetAnswer(MS::Answer::No);
    EXPECT_EQ(service.Show("three", MS::Icon::Question, MS::Buttons::YesNo, "t"), MS::Answer::No);
    ASSERT_EQ(service.Shown().size(), 3);
    EXPECT_EQ(service.Shown()[1].text, "two");
    EXPECT_EQ(service.Shown()[1].title, "t");
}
