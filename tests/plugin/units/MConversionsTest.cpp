#include <gtest/gtest.h>

#include <QComboBox>
#include <QStringList>
#include <cstdint>
#include <limits>

#include "../measure/MeasureFixture.h"
#include "driver/GDeclares.h"
#include "plugin/units/MConversions.h"

using korotka::MConversions;

namespace {

constexpr int32_t kMmHg = korotka::epmuMMHG;
constexpr int32_t kKPa = korotka::epmuKPA;
constexpr int32_t kCmH2O = korotka::epmuCMH2O;
constexpr int32_t kInH2O = korotka::epmuINH2O;
constexpr int32_t kPsi = korotka::epmuPSI;

QStringList Items(const QComboBox& combo) {
    QStringList items;
    for (int i = 0; i < combo.count(); ++i) items.append(combo.itemText(i));
    return items;
}

using Conversions = MeasureFixture;

TEST_F(Conversions, ConvertsWithTheTableFactorsAndRoundsToTheTargetUnit) {
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(120, kMmHg, kKPa), 16.0F);  // 15.9984
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(16, kKPa, kMmHg), 120.0F);  // 120.0096
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(100, kMmHg, kPsi), 1.93F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(300, kMmHg, kPsi), 5.8F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(40, kMmHg, kCmH2O), 54.0F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(-1, kMmHg, kKPa), -0.1F);  // halves away from zero
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(120.4F, kMmHg, kMmHg), 120.0F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(10, kInH2O, kCmH2O), 25.0F);  // 25.4
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(1, kPsi, kMmHg), 52.0F);      // 51.715
    EXPECT_EQ(MConversions::UnitDecimals(kKPa), 1);
    EXPECT_EQ(MConversions::UnitDecimals(kPsi), 2);
}

// What is judged is what is shown: 253 - 249.6 is 3.4, not the single subtraction's 3.399994.
TEST_F(Conversions, DifferencesAreExactToTheDecimalsOfTheirReadings) {
    EXPECT_EQ(MConversions::Difference(253.0F, 249.6F), 3.4F);
    EXPECT_EQ(MConversions::Difference(150.0F, 147.9F), 2.1F);
    EXPECT_EQ(MConversions::Difference(2.86F, 2.9F), -0.04F);
    EXPECT_EQ(MConversions::Difference(1e30F, -1e30F), 2e30F);
    EXPECT_EQ(MConversions::Difference(3e38F, -3e38F), 0.0F);  // beyond a single
}

TEST_F(Conversions, RoundTripsFollowTheFactorsOfEachDirection) {
    const float mmHg = MConversions::ConvertUnits(1, kKPa, kMmHg);
    EXPECT_FLOAT_EQ(mmHg, 8.0F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(mmHg, kMmHg, kKPa), 1.1F);
    const float kPa = MConversions::ConvertUnits(7, kMmHg, kKPa);
    EXPECT_FLOAT_EQ(kPa, 0.9F);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(kPa, kKPa, kMmHg), 7.0F);
}

TEST_F(Conversions, BadUnitsAndValuesGiveZeroOrEmpty) {
    constexpr float kHuge = std::numeric_limits<float>::max();
    for (const int32_t unit :
         {-1, 5, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        EXPECT_EQ(MConversions::ConvertUnits(100, unit, kKPa), 0.0F) << unit;
        EXPECT_EQ(MConversions::ConvertUnits(100, kKPa, unit), 0.0F) << unit;
        EXPECT_TRUE(MConversions::UnitText(unit).isEmpty()) << unit;
        EXPECT_TRUE(MConversions::FormatForKey(QStringLiteral("SYST"), unit).isEmpty()) << unit;
        // Only the pressure row depends on the unit that much.
        EXPECT_EQ(MConversions::FormatForKey(QStringLiteral("RATE"), unit), "0.0") << unit;
        EXPECT_EQ(MConversions::FormatForKey(QStringLiteral("MAPR"), unit), "0.0") << unit;
        EXPECT_EQ(MConversions::FormatForKey(QStringLiteral("HART"), unit), "0") << unit;
    }
    EXPECT_EQ(MConversions::ConvertUnits(std::numeric_limits<float>::quiet_NaN(), kMmHg, kKPa), 0.0F);
    EXPECT_EQ(MConversions::ConvertUnits(std::numeric_limits<float>::infinity(), kMmHg, kKPa), 0.0F);
    EXPECT_EQ(MConversions::ConvertUnits(kHuge, kPsi, kCmH2O), 0.0F);  // the product overflows
    // Too large to carry decimals: unchanged by the rounding.
    EXPECT_EQ(MConversions::ConvertUnits(kHuge, kMmHg, kMmHg), kHuge);
}

TEST_F(Conversions, UnitTextsAndTheirUnitsMatchExactly) {
    const QStringList english = {"mmHg", "kPa", "cmH2O", "inH2O", "PSI"};
    for (int32_t unit = 0; unit < MConversions::kUnitCount; ++unit) {
        EXPECT_EQ(MConversions::UnitText(unit), english[unit]);
        EXPECT_EQ(MConversions::UnitFromText(english[unit]), unit);
        EXPECT_EQ(MConversions::UnitFromText(english[unit] + "/min"), unit);
    }
    EXPECT_EQ(MConversions::UnitFromText(QString()), kMmHg);
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("mmhg")), kMmHg);
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("psi")), kMmHg);  // no case folding
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("kPa ")), kMmHg);

    const orvex::Variant converted =
        MConversions::ConvertUnitsByText(150, QStringLiteral("mmHg/min"), QStringLiteral("kPa/min"));
    EXPECT_EQ(converted.GetKind(), orvex::Variant::Kind::Single);
    // Limits move unrounded: 6 mmHg/min is 0.116 PSI/min, not a looser 0.12.
    EXPECT_FLOAT_EQ(converted.ToSingle(), 150.0F * 0.13332F);
    EXPECT_FLOAT_EQ(
        MConversions::ConvertUnitsByText(6, QStringLiteral("mmHg/min"), QStringLiteral("PSI/min")).ToSingle(),
        6.0F * 0.019337F);
    // An unknown text counts as mmHg on either side.
    EXPECT_FLOAT_EQ(MConversions::ConvertUnitsByText(120.4F, QStringLiteral("Torr"), QString()).ToSingle(),
                    120.4F);
}

TEST_F(Conversions, TextsFollowTheCurrentLanguage) {
    UseGerman();
    EXPECT_EQ(MConversions::UnitText(kPsi), QStringLiteral("psi"));
    EXPECT_EQ(MConversions::UnitText(kCmH2O), QString::fromUtf8("cmH₂O"));
    EXPECT_EQ(MConversions::UnitFromText(QString::fromUtf8("cmH₂O/min")), kCmH2O);
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("psi")), kPsi);
    // Records keep one form in every language; a German record of before reads as the same unit.
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("PSI")), kPsi);
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("cmH2O")), kCmH2O);
    EXPECT_EQ(MConversions::NeutralUnitText(QString::fromUtf8("cmH₂O/min")), "cmH2O/min");
    EXPECT_EQ(MConversions::NeutralUnitText(QStringLiteral("1/min")), "BPM");
    EXPECT_EQ(MConversions::NeutralUnitText(QStringLiteral("Torr")), "Torr");
    EXPECT_EQ(MConversions::ShownUnitText(QStringLiteral("BPM")), "1/min");
    EXPECT_EQ(MConversions::ShownUnitText(QStringLiteral("PSI/min")), "psi/min");
}

TEST_F(Conversions, UnitListsHoldEachUnitAtItsNumber) {
    QComboBox bloodPressure;
    MConversions::FillUnitCombo(&bloodPressure, true);
    EXPECT_EQ(Items(bloodPressure), QStringList({"mmHg", "kPa"}));

    UseGerman();
    QComboBox pressure;
    MConversions::FillUnitCombo(&pressure, false);
    EXPECT_EQ(Items(pressure),
              QStringList({"mmHg", "kPa", QString::fromUtf8("cmH₂O"), QString::fromUtf8("inH₂O"), "psi"}));
    MConversions::FillUnitCombo(nullptr, false);
}

TEST_F(Conversions, FormatsDependOnKeyAndUnit) {
    EXPECT_EQ(MConversions::FormatForKey("SYST", kMmHg), "0");
    EXPECT_EQ(MConversions::FormatForKey("DIFF", kKPa), "0.0");
    EXPECT_EQ(MConversions::FormatForKey("PEAK", kPsi), "0.00");
    EXPECT_EQ(MConversions::FormatForKey("RATE", kCmH2O), "0.0");
    EXPECT_EQ(MConversions::FormatForKey("RATE", kKPa), "0.00");
    EXPECT_EQ(MConversions::FormatForKey("MAPR", kPsi), "0.0");
    EXPECT_EQ(MConversions::FormatForKey("HART", kKPa), "0");
    EXPECT_TRUE(MConversions::FormatForKey("SYST", 7).isEmpty());
    EXPECT_TRUE(MConversions::FormatForKey("syst", kMmHg).isEmpty());
    EXPECT_TRUE(MConversions::FormatForKey("MREL", kMmHg).isEmpty());
}

// Without a host there is no language service: the texts are empty and nothing is raised.
TEST(ConversionsWithoutHost, TextOperationsGiveEmptyResults) {
    MConversions::Initialize();
    EXPECT_TRUE(MConversions::UnitText(kKPa).isEmpty());
    EXPECT_EQ(MConversions::UnitFromText(QStringLiteral("kPa")), kMmHg);
    QComboBox combo;
    MConversions::FillUnitCombo(&combo, false);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_FLOAT_EQ(MConversions::ConvertUnits(120, kMmHg, kKPa), 16.0F);
}

}  // namespace
