#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "host/platform/HostRegistry.h"
#include "hostapi/ComponentRegistry.h"
#include "hostapi/VariantArray.h"
#include "plugin/settings/MUtils.h"
#include "support/HostFixture.h"

using korotka::MUtils;
using orvex::Variant;

namespace {

const QString kRegistryClass = QStringLiteral("OrvexTypeLib.Registry");
const QString kSettings = QStringLiteral("Software\\Marrick\\Orvex\\Korotka");
const QString kTimeouts = kSettings + QStringLiteral("\\Timeouts");

// The host's registry, noting every key opened: the only way to see which keys are read, and in
// which order.
class RecordingRegistry : public orvex::HostRegistry {
public:
    explicit RecordingRegistry(std::shared_ptr<QStringList> opened) : m_opened(std::move(opened)) {}
    void OpenKey(int32_t hive, const QString& key) override {
        m_opened->append(key);
        HostRegistry::OpenKey(hive, key);
    }

private:
    std::shared_ptr<QStringList> m_opened;
};

class MUtilsSettings : public HostFixture {
protected:
    static void Write(const QString& key, const QString& name, const Variant& value) {
        const auto registry = orvex::ComponentRegistry::Instance().CreateAs<orvex::Registry>(kRegistryClass);
        registry->OpenKey(orvex::Registry::kHkeyLocalMachine, key);
        registry->WriteValue(name, value);
    }
    static void SetSeconds(const QString& suffix, const Variant& value) {
        Write(kTimeouts + suffix, QStringLiteral("Seconds"), value);
    }
    static int32_t ReadWith(const QString& suffix, const Variant& value) {
        SetSeconds(suffix, value);
        return MUtils::ReadTimeout(suffix);
    }
};

TEST_F(MUtilsSettings, TimeoutsOutsideTheirRangeTakeTheDefault) {
    EXPECT_EQ(MUtils::ReadTimeout(QStringLiteral("\\Comm")), 4);  // absent
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 9), 4);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 8), 8);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Leak"), 200), 200);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Leak"), 201), 120);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Vent"), 19), 30);
    for (const QString& suffix : {QStringLiteral("\\Relief"), QStringLiteral("\\PSource")}) {
        EXPECT_EQ(MUtils::ReadTimeout(suffix), 50) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 30), 30) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 120), 120) << suffix.toStdString();
        EXPECT_EQ(ReadWith(suffix, 121), 50) << suffix.toStdString();
    }
    EXPECT_EQ(ReadWith(QStringLiteral("\\Other"), 5), 120);
    EXPECT_EQ(MUtils::ReadTimeout(QString()), 120);
}

TEST_F(MUtilsSettings, UnreadableValuesCountAsAbsent) {
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), "6"), 6);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), "6.0"), 6);  // stays text in the registry
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), "six"), 4);
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), 1e300), 4);
    // A binary value is no number, whatever its bytes.
    EXPECT_EQ(ReadWith(QStringLiteral("\\Comm"), orvex::VariantArray::FromList({Variant(uint8_t{6})})), 4);

    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);
    Write(kSettings, QStringLiteral("PressureUnit"), 3);
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 3);
    Write(kSettings, QStringLiteral("PressureUnit"), 5e9);
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);

    // A registry reader the host cannot create; the next test's host registers the real one again.
    orvex::ComponentRegistry::Instance().Register(kRegistryClass, [] { return nullptr; });
    EXPECT_EQ(MUtils::ReadSetting(QStringLiteral("PressureUnit")), 0);
    EXPECT_EQ(MUtils::ReadTimeout(QStringLiteral("\\Leak")), 120);
}

TEST_F(MUtilsSettings, LoadTimeoutsReadsAllFiveInOrder) {
    SetSeconds(QStringLiteral("\\Comm"), 6);
    SetSeconds(QStringLiteral("\\Leak"), 150);
    SetSeconds(QStringLiteral("\\Vent"), 25);
    SetSeconds(QStringLiteral("\\Relief"), 60);
    SetSeconds(QStringLiteral("\\PSource"), 70);
    const auto opened = std::make_shared<QStringList>();
    orvex::ComponentRegistry::Instance().Register(
        kRegistryClass, [opened] { return std::make_shared<RecordingRegistry>(opened); });
    MUtils::LoadTimeouts();
    EXPECT_EQ(MUtils::CommTimeout(), 6);
    EXPECT_EQ(MUtils::LeakTimeout(), 150);
    EXPECT_EQ(MUtils::VentTimeout(), 25);
    EXPECT_EQ(MUtils::ReliefTimeout(), 60);
    EXPECT_EQ(MUtils::PSourceTimeout(), 70);
    const QStringList order{kTimeouts + "\\Comm", kTimeouts + "\\Leak", kTimeouts + "\\Vent",
                            kTimeouts + "\\Relief", kTimeouts + "\\PSource"};
    EXPECT_EQ(*opened, order);

    // Back to the defaults for whatever runs next in this process: a registry without values.
    qputenv("ORVEX_REGISTRY", registryDir.filePath(QStringLiteral("Empty.ini")).toLocal8Bit());
    MUtils::LoadTimeouts();
    EXPECT_EQ(MUtils::CommTimeout(), 4);
    EXPECT_EQ(MUtils::PSourceTimeout(), 50);
}

TEST(MUtilsRound, HalvesRoundAwayFromZeroAndExtremesStayDefined) {
    EXPECT_DOUBLE_EQ(MUtils::Round(2.345, 2), 2.35);
    EXPECT_EQ(MUtils::Round(-2.5, 0), -3.0);
    EXPECT_EQ(MUtils::Round(0.5, 0), 1.0);
    EXPECT_DOUBLE_EQ(MUtils::Round(1250.0, -2), 1300.0);

    constexpr double kMax = std::numeric_limits<double>::max();
    EXPECT_EQ(MUtils::Round(1e300, 2), 1e300);
    EXPECT_EQ(MUtils::Round(-kMax, 0), -kMax);
    EXPECT_EQ(MUtils::Round(kMax, -308), kMax);  // rounding up would overflow
    EXPECT_EQ(MUtils::Round(1.5, INT_MAX), 1.5);
    EXPECT_EQ(MUtils::Round(1.5, INT_MIN), 0.0);
    EXPECT_EQ(MUtils::Round(std::numeric_limits<double>::infinity(), 2),
              std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(MUtils::Round(std::numeric_limits<double>::quiet_NaN(), 2)));
}

}  // namespace
