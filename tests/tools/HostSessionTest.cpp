#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "HostSession.h"
#include "hostapi/HostServices.h"

using korotkatool::HostSession;

namespace {

// A settings file of the given INI text, used by every session created while the object lives.
class SettingsFile {
public:
    explicit SettingsFile(const QByteArray& text) {
        const QString path = m_dir.filePath(QStringLiteral("Registry.ini"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(text);
        qputenv("ORVEX_REGISTRY", path.toLocal8Bit());
    }
    ~SettingsFile() { qunsetenv("ORVEX_REGISTRY"); }

private:
    QTemporaryDir m_dir;
};

}  // namespace

TEST(HostSession, FindsTheRegisteredKorotkaOrSaysWhyNot) {
    {
        SettingsFile settings(
            "[Ports]\n2=/dev/ttyS0\n5=/dev/ttyUSB1\n"
            "[Instruments]\n2\\Name=Other\n5\\Name=Korotka\n5\\SerialNo=KT-1\n");
        HostSession session(orvex::HostMessageService::Mode::Record);
        QString error;
        ASSERT_TRUE(session.UseSettings(&error)) << error.toStdString();
        EXPECT_EQ(session.Port(), 5);
        EXPECT_EQ(session.DevicePath(), QStringLiteral("/dev/ttyUSB1"));
        EXPECT_EQ(orvex::HostServices::Instruments()->PortOf(QStringLiteral("Korotka"), QString()), 5);
    }
    {
        SettingsFile settings("[Ports]\n2=/dev/ttyS0\n[Instruments]\n2\\Name=Other\n");
        HostSession session(orvex::HostMessageService::Mode::Record);
        QString error;
        EXPECT_FALSE(session.UseSettings(&error));
        EXPECT_TRUE(error.contains(QStringLiteral("no Korotka"))) << error.toStdString();
    }
    {
        SettingsFile settings("[Instruments]\n7\\Name=Korotka\n");
        HostSession session(orvex::HostMessageService::Mode::Record);
        QString error;
        EXPECT_FALSE(session.UseSettings(&error));
        EXPECT_TRUE(error.contains(QStringLiteral("port 7"))) << error.toStdString();
    }
}

TEST(HostSession, RegistersANamedDeviceAsTheKorotkaAndLeavesNoServicesBehind) {
    SettingsFile settings("");
    {
        HostSession session(orvex::HostMessageService::Mode::Record);
        session.UseDevice(QStringLiteral("/dev/ttyACM0"));
        EXPECT_EQ(session.DevicePath(), QStringLiteral("/dev/ttyACM0"));
        EXPECT_EQ(orvex::HostServices::Instruments()->PortOf(QStringLiteral("Korotka"), QString()),
                  session.Port());
    }
    EXPECT_ANY_THROW(orvex::HostServices::Instruments());
}
