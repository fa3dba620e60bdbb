#include <gtest/gtest.h>

#include <QLocale>
#include <limits>

#include "hostapi/HostServices.h"
#include "hostapi/VariantArray.h"
#include "support/HostFixture.h"
#include "support/Raised.h"

using orvex::Variant;

namespace {

class ValueFormatterTest : public HostFixture {
protected:
    QString Format(const Variant& value, const QString& format) {
        return orvex::HostServices::Values()->Format(value, format);
    }
};

TEST_F(ValueFormatterTest, RoundsTheDecimalValueHalfAwayFromZero) {
    EXPECT_EQ(Format(Variant(1.93F), "0.00"), "1.93");
    EXPECT_EQ(Format(Variant(16.0F), "0.0"), "16.0");
    EXPECT_EQ(Format(Variant(120.4F), "0"), "120");
    EXPECT_EQ(Format(Variant(2.5), "0"), "3");
    EXPECT_EQ(Format(Variant(-2.5), "0"), "-3");
    EXPECT_EQ(Format(Variant(0.125), "0.00"), "0.13");
    // The binary values lie just below the halves; the numbers the user sees do not.
    EXPECT_EQ(Format(Variant(0.15F), "0.0"), "0.2");
    EXPECT_EQ(Format(Variant(2.675F), "0.00"), "2.68");
    EXPECT_EQ(Format(Variant(1.005), "0.00"), "1.01");
    // Carries through every digit.
    EXPECT_EQ(Format(Variant(9.996), "0.00"), "10.00");
    EXPECT_EQ(Format(Variant(99.96F), "0.0"), "100.0");
    EXPECT_EQ(Format(Variant(0.5), "0"), "1");
    EXPECT_EQ(Format(Variant(0.0004), "0.000"), "0.000");
    // Nothing left but zero shows no sign.
    EXPECT_EQ(Format(Variant(-0.04), "0.0"), "0.0");
    EXPECT_EQ(Format(Variant(-0.0), "0"), "0");
}

TEST_F(ValueFormatterTest, EveryNumericKindAndTextFormatsAlike) {
    EXPECT_EQ(Format(Variant(int32_t{120}), "0.0"), "120.0");
    EXPECT_EQ(Format(Variant(int16_t{-7}), "0.00"), "-7.00");
    EXPECT_EQ(Format(Variant(uint8_t{255}), "0"), "255");
    EXPECT_EQ(Format(Variant(true), "0"), "-1");
    EXPECT_EQ(Format(Variant("12.345"), "0.00"), "12.35");
    EXPECT_EQ(Format(Variant(" 33.3 "), "0"), "33");
    // Not numeric: the text as it is; nothing for Null and Empty.
    EXPECT_EQ(Format(Variant("abc"), "0.00"), "abc");
    EXPECT_EQ(Format(Variant("1e999"), "0"), "1e999");
    EXPECT_EQ(Format(Variant::Null(), "0.0"), "");
    EXPECT_EQ(Format(Variant(), "0.0"), "");
    EXPECT_EQ(Format(Variant::Null(), ""), "");
    // No format: the plain text form.
    EXPECT_EQ(Format(Variant(33.3F), ""), "33.3");
    EXPECT_EQ(Format(Variant(true), ""), "True");
    // An array has no text.
    EXPECT_EQ(Raised([&] { Format(Variant(orvex::VariantArray(0, 1)), "0"); }).Number(),
              orvex::ComError::kTypeMismatch);
}

TEST_F(ValueFormatterTest, ExtremesStayBoundedAndTheLocaleIsIgnored) {
    EXPECT_EQ(Format(Variant(1e20), "0"), "100000000000000000000");
    EXPECT_EQ(Format(Variant(1e-20), "0.00"), "0.00");
    EXPECT_EQ(Format(Variant(std::numeric_limits<double>::max()), "0.00").size(), 309 + 3);
    EXPECT_EQ(Format(Variant(std::numeric_limits<float>::max()), "0"),
              "340282300000000000000000000000000000000");
    EXPECT_EQ(Format(Variant(std::numeric_limits<double>::denorm_min()), "0.0"), "0.0");
    EXPECT_EQ(Format(Variant(std::numeric_limits<float>::infinity()), "0"), "inf");
    EXPECT_EQ(Format(Variant(0.5), "0.000000000000000"), "0.500000000000000");

    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Format(Variant(1234.5), "0.0"), "1234.5");
    QLocale::setDefault(saved);
}

// A number as shown holds the decimals it was judged by: never fewer than its format, never one
// that rounds a reading onto the limit it broke.
TEST_F(ValueFormatterTest, ShownNumbersKeepTheDecimalsTheyHold) {
    auto& formatter = *orvex::HostServices::Values();
    const QLocale c = QLocale::c();
    EXPECT_EQ(formatter.FormatShown(Variant(3.4F), "0", c), "3.4");
    EXPECT_EQ(formatter.FormatShown(Variant(251.0F), "0", c), "251");
    EXPECT_EQ(formatter.FormatShown(Variant(9.5F), "0.00", c), "9.50");
    EXPECT_EQ(formatter.FormatShown(Variant(6.0F * 0.019337F), "0.00", c), "0.11602");
    EXPECT_EQ(formatter.FormatShown(Variant(-0.05801032), "0.00", c), "-0.05801");
    EXPECT_EQ(formatter.FormatShown(Variant(250.5F), "0", QLocale(QLocale::German)), "250,5");
    EXPECT_EQ(formatter.FormatShown(Variant(true), "", c), "True");
    EXPECT_EQ(formatter.FormatShown(Variant(), "0", c), "");
    EXPECT_EQ(formatter.FormatShown(Variant(1e-20), "0.00", c), "0.00");
}

TEST_F(ValueFormatterTest, UnknownFormatsAreRefused) {
    for (const QString format : {"#.##", "0.", ".0", "00", "0.0a", "0,0", "0.0000000000000000"}) {
        EXPECT_EQ(Raised([&] { Format(Variant(1.5), format); }).Number(),
                  orvex::ComError::kInvalidProcedureCall)
            << format.toStdString();
    }
}

}  // namespace
