#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "hostapi/ComError.h"
#include "hostapi/Variant.h"
#include "hostapi/VariantArray.h"

using orvex::ComError;
using orvex::Variant;
using orvex::VariantArray;

namespace {

struct Thing : orvex::IUnknown {};

// Number of the ComError that action raises, 0 when it raises none.
int32_t ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ComError& error) {
        return error.Number();
    }
    return 0;
}

#define EXPECT_ERROR(number, expression) \
    EXPECT_EQ(ErrorOf([&] { (void)(expression); }), number) << #expression

std::string Text(const Variant& value) { return value.ToString().toStdString(); }

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Stored text must read and print the same whatever the user's locale says.
class GermanLocale {
public:
    GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

}  // namespace

TEST(VariantTest, KindsAndNullEmptyRules) {
    EXPECT_EQ(Variant().TypeName(), "Empty");
    EXPECT_EQ(Variant::Null().TypeName(), "Null");
    EXPECT_EQ(Variant(uint8_t{1}).TypeName(), "Byte");
    EXPECT_EQ(Variant(int16_t{1}).TypeName(), "Integer");
    EXPECT_EQ(Variant(1).TypeName(), "Long");
    EXPECT_EQ(Variant(1.0f).TypeName(), "Single");
    EXPECT_EQ(Variant("x").TypeName(), "String");
    EXPECT_EQ(Variant(VariantArray()).TypeName(), "Variant()");
    EXPECT_EQ(Variant(std::make_shared<Thing>()).TypeName(), "Object");
    EXPECT_EQ(Variant(std::shared_ptr<orvex::IUnknown>()).TypeName(), "Nothing");

    const Variant null = Variant::Null();
    EXPECT_ERROR(94, null.ToString());
    EXPECT_ERROR(94, null.ToLong());
    EXPECT_ERROR(94, null.ToDouble());
    EXPECT_ERROR(94, null.ToBoolean());
    EXPECT_EQ(Text(Variant()), "");
    EXPECT_EQ(Variant().ToLong(), 0);
    EXPECT_FALSE(Variant().ToBoolean());
    EXPECT_ERROR(13, Variant(1).ToArray());
    EXPECT_ERROR(13, Variant(std::make_shared<Thing>()).ToLong());
}

TEST(VariantTest, TextForm) {
    GermanLocale german;
    EXPECT_EQ(Text(true), "True");
    EXPECT_EQ(Text(false), "False");
    EXPECT_EQ(Text(int16_t{-32768}), "-32768");
    EXPECT_EQ(Text(33.3f), "33.3");
    EXPECT_EQ(Text(0.5), "0.5");
    EXPECT_EQ(Text(-0.0), "0");
    EXPECT_EQ(Text(1234567.0f), "1234567");
    EXPECT_EQ(Text(12345678.0f), "1.234568E+07");
    EXPECT_EQ(Text(1e-5), "1E-05");
    EXPECT_EQ(Text(0.0001), "0.0001");
    EXPECT_EQ(Text(1e20), "1E+20");
    EXPECT_EQ(Text(1e15), "1E+15");
    EXPECT_EQ(Text(1e14), "100000000000000");
    EXPECT_EQ(Text(100.0), "100");
    EXPECT_EQ(Text(0.1 + 0.2), "0.3");
    EXPECT_EQ(Text(-1.5e-300), "-1.5E-300");
    EXPECT_EQ(Text(std::numeric_limits<double>::max()), "1.79769313486232E+308");
    EXPECT_FALSE(Variant(kInf).ToString().isEmpty());
    EXPECT_FALSE(Variant(kNan).ToString().isEmpty());
    EXPECT_ERROR(13, Variant(VariantArray(0, 1)).ToString());
    EXPECT_ERROR(13, Variant(std::make_shared<Thing>()).ToString());
}

TEST(VariantTest, IntegerConversionsRoundHalfToEvenAndOverflow) {
    EXPECT_EQ(Variant(2.5).ToLong(), 2);
    EXPECT_EQ(Variant(3.5).ToLong(), 4);
    EXPECT_EQ(Variant(-2.5).ToLong(), -2);
    EXPECT_EQ(Variant(2.5f).ToInteger(), 2);
    EXPECT_EQ(Variant(2.5000001).ToLong(), 3);
    EXPECT_EQ(Variant(-0.5).ToByte(), 0);
    EXPECT_ERROR(6, Variant(-0.6).ToByte());
    EXPECT_EQ(Variant(254.5).ToByte(), 254);
    EXPECT_ERROR(6, Variant(255.5).ToByte());
    EXPECT_ERROR(6, Variant(true).ToByte());
    EXPECT_EQ(Variant(true).ToInteger(), -1);
    EXPECT_EQ(Variant(32766.5).ToInteger(), 32766);
    EXPECT_ERROR(6, Variant(32767.5).ToInteger());
    EXPECT_EQ(Variant(-32768.5).ToInteger(), -32768);
    EXPECT_ERROR(6, Variant(-32769).ToInteger());
    EXPECT_ERROR(6, Variant(2147483647.5).ToLong());
    EXPECT_EQ(Variant(-2147483648.5).ToLong(), std::numeric_limits<int32_t>::min());
    EXPECT_ERROR(6, Variant(1e300).ToLong());
    EXPECT_ERROR(6, Variant(kNan).ToLong());
    EXPECT_ERROR(6, Variant(-kInf).ToInteger());

    EXPECT_EQ(Variant(" 42 ").ToLong(), 42);
    EXPECT_EQ(Variant("2.5").ToLong(), 2);
    EXPECT_EQ(Variant("-1.5e3").ToLong(), -1500);
    EXPECT_EQ(Variant("&H1F").ToLong(), 31);
    EXPECT_EQ(Variant("&HFFFF").ToLong(), -1);
    EXPECT_EQ(Variant("&H10000").ToLong(), 65536);
    EXPECT_ERROR(6, Variant("&H123456789").ToLong());
    EXPECT_EQ(Variant("TRUE").ToLong(), -1);
    EXPECT_ERROR(6, Variant("32767.5").ToInteger());
    for (const char* text : {"", " ", "+", "-", ".", "1e", "1e+", "12a", "1 2", "&H", "&HG", "1,5", "abc"}) {
        EXPECT_ERROR(13, Variant(text).ToLong()) << text;
    }
}

TEST(VariantTest, FloatingConversions) {
    GermanLocale german;
    EXPECT_EQ(Variant("3.5").ToDouble(), 3.5);
    EXPECT_ERROR(13, Variant("3,5").ToDouble());
    EXPECT_EQ(Variant("0.1").ToDouble(), 0.1);
    EXPECT_EQ(Variant("0.1").ToSingle(), 0.1f);
    EXPECT_EQ(Variant(".5").ToDouble(), 0.5);
    EXPECT_EQ(Variant("5.").ToDouble(), 5.0);
    EXPECT_EQ(Variant("1e40").ToDouble(), 1e40);
    EXPECT_ERROR(6, Variant("1e40").ToSingle());
    EXPECT_ERROR(6, Variant("1e400").ToDouble());
    EXPECT_ERROR(6, Variant("1e99999999999999999999").ToDouble());
    EXPECT_EQ(Variant("1e-400").ToDouble(), 0.0);
    EXPECT_ERROR(6, Variant(std::string(400, '9').c_str()).ToDouble());
    EXPECT_EQ(Variant(("0." + std::string(400, '0') + "1e400").c_str()).ToDouble(), 0.1);
    EXPECT_EQ(Variant(("1" + std::string(1'000'000, '0') + "e-1000000").c_str()).ToDouble(), 1.0);
    EXPECT_ERROR(6, Variant(1e300).ToSingle());
    EXPECT_ERROR(6, Variant(kNan).ToSingle());
    EXPECT_EQ(Variant(double{std::numeric_limits<float>::max()}).ToSingle(),
              std::numeric_limits<float>::max());
    EXPECT_EQ(Variant(16777217).ToDouble(), 16777217.0);
    EXPECT_EQ(Variant(true).ToSingle(), -1.0f);
}

TEST(VariantTest, BooleanConversion) {
    EXPECT_TRUE(Variant(0.001).ToBoolean());
    EXPECT_FALSE(Variant(0.0).ToBoolean());
    EXPECT_TRUE(Variant(uint8_t{1}).ToBoolean());
    EXPECT_TRUE(Variant("tRuE").ToBoolean());
    EXPECT_FALSE(Variant(" False ").ToBoolean());
    EXPECT_FALSE(Variant("0").ToBoolean());
    EXPECT_TRUE(Variant("-2").ToBoolean());
    EXPECT_ERROR(13, Variant("yes").ToBoolean());
    EXPECT_ERROR(13, Variant("").ToBoolean());
    EXPECT_ERROR(6, Variant("1e400").ToBoolean());
    EXPECT_ERROR(13, Variant(VariantArray()).ToBoolean());
}

TEST(VariantTest, IsNumeric) {
    EXPECT_TRUE(Variant().IsNumeric());
    EXPECT_TRUE(Variant(false).IsNumeric());
    EXPECT_TRUE(Variant(kNan).IsNumeric());
    for (const char* text : {"12", " 12\t", "-.5", "+1E-3", "&H1f", "007"}) {
        EXPECT_TRUE(Variant(text).IsNumeric()) << text;
    }
    for (const char* text : {"", " ", "+", "-", ".", "1e", "12a", "True", "1,5", "\u0661", "1e400"}) {
        EXPECT_FALSE(Variant(text).IsNumeric()) << text;
    }
    EXPECT_FALSE(Variant::Null().IsNumeric());
    EXPECT_FALSE(Variant(VariantArray()).IsNumeric());
    EXPECT_FALSE(Variant(std::make_shared<Thing>()).IsNumeric());
}

TEST(VariantTest, Val) {
    GermanLocale german;
    EXPECT_EQ(Variant::Val("12.5 mmHg"), 12.5);
    EXPECT_EQ(Variant::Val(" 1 2 3"), 123.0);
    EXPECT_EQ(Variant::Val("\t-\n4 .5x"), -4.5);
    EXPECT_EQ(Variant::Val("1.2.3"), 1.2);
    EXPECT_EQ(Variant::Val("3,5"), 3.0);
    EXPECT_EQ(Variant::Val("1e"), 1.0);
    EXPECT_EQ(Variant::Val("1e+x"), 1.0);
    EXPECT_EQ(Variant::Val("1e3"), 1000.0);
    EXPECT_EQ(Variant::Val("1d2"), 100.0);
    EXPECT_EQ(Variant::Val(".5"), 0.5);
    EXPECT_EQ(Variant::Val("&H10"), 16.0);
    EXPECT_EQ(Variant::Val("&HFFFF"), -1.0);
    EXPECT_EQ(Variant::Val("&H1G"), 1.0);
    EXPECT_EQ(Variant::Val("1e-400"), 0.0);
    for (const char* text : {"", " ", "abc", "+", "-", ".", "&", "&H", "e5"}) {
        EXPECT_EQ(Variant::Val(text), 0.0) << text;
    }
    EXPECT_ERROR(6, Variant::Val("1e400"));
    EXPECT_ERROR(6, Variant::Val(QString(400, u'9')));
    EXPECT_ERROR(6, Variant::Val("&H123456789"));
}

TEST(VariantTest, Equals) {
    const auto object = std::make_shared<Thing>();
    const Variant array(VariantArray(0, 0));
    EXPECT_FALSE(Variant::Null().Equals(Variant::Null()));
    EXPECT_FALSE(Variant::Null().Equals(Variant()));
    EXPECT_TRUE(Variant().Equals(Variant()));
    EXPECT_TRUE(Variant().Equals(Variant(0.0)));
    EXPECT_TRUE(Variant().Equals(Variant("")));
    EXPECT_TRUE(Variant().Equals(Variant(false)));
    EXPECT_FALSE(Variant().Equals(Variant(true)));
    EXPECT_FALSE(Variant().Equals(Variant("0")));
    EXPECT_TRUE(Variant(uint8_t{255}).Equals(Variant(255.0f)));
    EXPECT_TRUE(Variant(true).Equals(Variant(-1)));
    EXPECT_FALSE(Variant(true).Equals(Variant(1)));
    EXPECT_FALSE(Variant(33.3f).Equals(Variant(33.3)));
    EXPECT_FALSE(Variant("abc").Equals(Variant("ABC")));
    EXPECT_TRUE(Variant(true).Equals(Variant("true")));
    EXPECT_TRUE(Variant(true).Equals(Variant("1")));
    EXPECT_TRUE(Variant(false).Equals(Variant(" 0 ")));
    EXPECT_FALSE(Variant(true).Equals(Variant("yes")));
    EXPECT_TRUE(Variant(5).Equals(Variant(" 5.0 ")));
    EXPECT_FALSE(Variant(0).Equals(Variant("False")));
    EXPECT_FALSE(Variant(5).Equals(Variant("five")));
    EXPECT_FALSE(Variant(5).Equals(Variant("1e400")));
    EXPECT_TRUE(Variant(object).Equals(Variant(object)));
    EXPECT_FALSE(Variant(object).Equals(Variant(std::make_shared<Thing>())));
    EXPECT_FALSE(Variant(object).Equals(Variant()));
    EXPECT_FALSE(array.Equals(array));

    // Equality must not depend on which side holds which kind.
    const Variant values[] = {Variant(),       Variant::Null(), Variant(true),   Variant(false),
                              Variant(-1),     Variant(0.0f),   Variant(""),     Variant("-1"),
                              Variant("True"), Variant("x"),    Variant(object), array};
    for (const Variant& left : values) {
        for (const Variant& right : values) {
            EXPECT_EQ(left.Equals(right), right.Equals(left))
                << left.TypeName().toStdString() << " " << right.TypeName().toStdString();
        }
    }
}

TEST(VariantTest, ArrayBoundsAndLimits) {
    const VariantArray empty;
    EXPECT_EQ(empty.LBound(), 0);
    EXPECT_EQ(empty.UBound(), -1);
    EXPECT_ERROR(9, empty.At(0));

    VariantArray negative(-2, 2);
    EXPECT_EQ(negative.Count(), 5);
    EXPECT_EQ(negative.UBound(), 2);
    negative.At(-2) = Variant("first");
    EXPECT_EQ(Text(negative.At(-2)), "first");
    EXPECT_ERROR(9, negative.At(-3));
    EXPECT_ERROR(9, negative.At(3));
    EXPECT_ERROR(9, negative.At(0, 0));
    EXPECT_ERROR(9, negative.LBound(2));
    EXPECT_ERROR(9, negative.UBound(0));
    EXPECT_ERROR(9, VariantArray(5, 3));
    EXPECT_EQ(VariantArray(5, 4).Count(), 0);

    VariantArray grid(0, 2, 1, 3);
    EXPECT_EQ(grid.Count(), 9);
    EXPECT_EQ(grid.UBound(2), 3);
    for (int32_t i = 0; i <= 2; ++i) {
        for (int32_t j = 1; j <= 3; ++j) grid.At(i, j) = Variant(i * 10 + j);
    }
    for (int32_t i = 0; i <= 2; ++i) {
        for (int32_t j = 1; j <= 3; ++j) EXPECT_EQ(grid.At(i, j).ToLong(), i * 10 + j);
    }
    EXPECT_ERROR(9, grid.At(0, 0));
    EXPECT_ERROR(9, grid.At(3, 1));
    EXPECT_ERROR(9, grid.At(0));
    EXPECT_ERROR(9, grid.Resize(5));

    EXPECT_EQ(VariantArray(1, 1 << 20).Count(), 1 << 20);
    EXPECT_ERROR(7, VariantArray(0, 1 << 20));
    EXPECT_ERROR(7, VariantArray(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    EXPECT_ERROR(7, VariantArray(0, 1023, 0, 1024));
    const std::vector<Variant> pair = {1, 2};
    EXPECT_ERROR(9, VariantArray::FromList(pair, std::numeric_limits<int32_t>::max()));
    EXPECT_ERROR(9, VariantArray::FromList({}, std::numeric_limits<int32_t>::min()));

    VariantArray list = VariantArray::FromList({1, 2, 3}, 1);
    EXPECT_EQ(list.UBound(), 3);
    list.Resize(5);
    EXPECT_EQ(list.At(3).ToLong(), 3);
    EXPECT_TRUE(list.At(5).IsEmpty());
    list.Resize(1);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(1).ToLong(), 1);
    list.Resize(0);
    EXPECT_EQ(list.UBound(), 0);
    EXPECT_ERROR(9, list.Resize(-1));
    EXPECT_ERROR(7, list.Resize(std::numeric_limits<int32_t>::max()));
}

TEST(VariantTest, ArrayCopiesAreDeep) {
    Variant inner(VariantArray::FromList({"a", "b"}));
    Variant outer(VariantArray::FromList({inner, 7}));
    Variant copy = outer;
    copy.ToArray().At(0).ToArray().At(0) = Variant("changed");
    EXPECT_EQ(Text(outer.ToArray().At(0).ToArray().At(0)), "a");
    copy = outer;
    EXPECT_EQ(Text(copy.ToArray().At(0).ToArray().At(0)), "a");

    // Assigning an element of the array held to its holder must not read freed memory.
    outer = outer.ToArray().At(0);
    EXPECT_EQ(Text(outer.ToArray().At(1)), "b");
    outer = std::move(outer.ToArray().At(0));
    EXPECT_EQ(Text(outer), "a");

    Variant moved(VariantArray(1, 3));
    const Variant target(std::move(moved));
    EXPECT_TRUE(moved.IsEmpty());
    VariantArray source(1, 3);
    const VariantArray taken(std::move(source));
    EXPECT_EQ(source.Count(), 0);
    EXPECT_ERROR(9, source.At(1));
    EXPECT_EQ(taken.UBound(), 3);
}

TEST(VariantTest, ArraysNestNoDeeperThanTheLimit) {
    Variant nested(VariantArray(0, 0));
    for (int depth = 2; depth <= Variant::kMaxArrayDepth; ++depth) {
        VariantArray outer(0, 0);
        outer.At(0) = std::move(nested);
        nested = Variant(outer);
    }
    const Variant copy(nested);
    EXPECT_TRUE(copy.IsArray());
    // One more level, whether wrapped or copied, is refused.
    VariantArray deeper(0, 1);
    deeper.At(1) = nested;
    EXPECT_ERROR(28, Variant(deeper));
    Variant holder(VariantArray(0, 0));
    holder.ToArray().At(0) = nested;
    EXPECT_ERROR(28, Variant(holder));
}
