#include <Plinth/CTQProperty.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(CTQProperty, ConstructionChoosesTheKindAndBoolIsAnInteger)
{
    EXPECT_EQ(CTQProperty().GetType(), eTQPropertyType::None);
    EXPECT_EQ(CTQProperty(5).GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(CTQProperty(std::int16_t(5)).GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(CTQProperty(5u).GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(CTQProperty(2.5f).GetType(), eTQPropertyType::Number);
    EXPECT_EQ(CTQProperty(2.5).GetType(), eTQPropertyType::Number);
    EXPECT_EQ(CTQProperty("x").GetType(), eTQPropertyType::String);
    EXPECT_EQ(CTQProperty(CTQString("x")).GetType(), eTQPropertyType::String);
    CTQProperty yes(true), no(false);
    EXPECT_EQ(yes.GetType(), eTQPropertyType::Integer);
    EXPECT_EQ(yes.GetInt(), 1);
    EXPECT_EQ(no.GetInt(), 0);
}

TEST(CTQProperty, AssignmentReplacesKindAndValue)
{
    CTQProperty p = 7;
    p = "seven";
    EXPECT_TRUE(p.IsString());
    EXPECT_STREQ(p.GetString().GetString(), "seven");
    p = 7.5f;
    EXPECT_TRUE(p.IsNumber());
    EXPECT_EQ(p.GetFloat(), 7.5f);
    p.Clear();
    EXPECT_TRUE(p.IsEmpty());
    EXPECT_STREQ(p.GetString().GetString(), "");
}

TEST(CTQProperty, NumbersConvertTruncatingAndClampedNotWrapped)
{
    EXPECT_EQ(CTQProperty(2.9f).GetInt(), 2);
    EXPECT_EQ(CTQProperty(-2.9f).GetInt(), -2);
    EXPECT_EQ(CTQProperty(1e20f).GetInt(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CTQProperty(-1e20f).GetInt(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(CTQProperty(std::numeric_limits<float>::quiet_NaN()).GetInt(), 0);
    EXPECT_EQ(CTQProperty(-3).GetFloat(), -3.0f);
    EXPECT_TRUE(CTQProperty(0.5f).GetBool());
    EXPECT_FALSE(CTQProperty(0.0f).GetBool());
    EXPECT_TRUE(CTQProperty(-1).GetBool());
}

TEST(CTQProperty, StringsConvertByParsingAndNonNumbersGiveZero)
{
    EXPECT_EQ(CTQProperty("42").GetInt(), 42);
    EXPECT_EQ(CTQProperty(" -17 ").GetInt(), -17);
    EXPECT_EQ(CTQProperty("2.75").GetInt(), 2);
    EXPECT_EQ(CTQProperty("2.75").GetFloat(), 2.75f);
    EXPECT_EQ(CTQProperty("+8").GetInt(), 8);
    EXPECT_EQ(CTQProperty("abc").GetInt(), 0);
    EXPECT_EQ(CTQProperty("12abc").GetInt(), 0);
    EXPECT_EQ(CTQProperty("").GetFloat(), 0.0f);
    EXPECT_TRUE(CTQProperty("TRUE").GetBool());
    EXPECT_FALSE(CTQProperty("false").GetBool());
    EXPECT_TRUE(CTQProperty("1").GetBool());
    EXPECT_FALSE(CTQProperty("0").GetBool());
    EXPECT_FALSE(CTQProperty("yes please").GetBool());
}

TEST(CTQProperty, NumbersAsTextReadBackTheSameValue)
{
    EXPECT_STREQ(CTQProperty(42).GetString().GetString(), "42");
    EXPECT_STREQ(CTQProperty(-7).GetString().GetString(), "-7");
    EXPECT_STREQ(CTQProperty(true).GetString().GetString(), "1");
    CTQProperty third(1.0f / 3.0f);
    EXPECT_EQ(CTQProperty(third.GetString()).GetFloat(), 1.0f / 3.0f);
    EXPECT_STREQ(CTQProperty(0.1f).GetString().GetString(), "0.1");
}

TEST(CTQProperty, ImplicitConversionsServeTypedLocals)
{
    const CTQProperty count = 12;
    const CTQProperty scale = 0.25f;
    const CTQProperty name = "grass";
    int n = count;
    std::int32_t n32 = count;
    float f = scale;
    double d = scale;
    bool b = count;
    CTQString s = name;
    const CTQString& r = name;
    CTQString assigned;
    assigned = static_cast<const CTQString&>(name);
    EXPECT_EQ(n, 12);
    EXPECT_EQ(n32, 12);
    EXPECT_EQ(f, 0.25f);
    EXPECT_EQ(d, 0.25);
    EXPECT_TRUE(b);
    EXPECT_STREQ(s.GetString(), "grass");
    EXPECT_EQ(&r, &name.GetString()) << "no copy for a string property";
    EXPECT_STREQ(assigned.GetString(), "grass");
    if (!count)
        ADD_FAILURE() << "a non-zero integer tests true";
}

TEST(CTQProperty, EqualityComparesNumbersByValueAndOtherwiseByKind)
{
    EXPECT_TRUE(CTQProperty() == CTQProperty());
    EXPECT_TRUE(CTQProperty(3) == CTQProperty(3.0f));
    EXPECT_TRUE(CTQProperty(true) == 1);
    EXPECT_TRUE(CTQProperty(0.5f) == 0.5f);
    EXPECT_FALSE(CTQProperty(3) == CTQProperty(4));
    EXPECT_FALSE(CTQProperty(16777217) == CTQProperty(16777216.0f)) << "compared exactly, not as floats";
    EXPECT_FALSE(CTQProperty("3") == CTQProperty(3));
    EXPECT_FALSE(CTQProperty() == CTQProperty(0));
    EXPECT_FALSE(CTQProperty() == CTQProperty(""));
    EXPECT_TRUE(CTQProperty("ab") == "ab");
    EXPECT_TRUE(CTQProperty("ab") != "aB");
    EXPECT_TRUE(CTQProperty("ab") == CTQString("ab"));
    EXPECT_TRUE(3 == CTQProperty(3));
}
