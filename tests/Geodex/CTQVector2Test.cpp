#include <Geodex/CTQVector2.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

TEST(CTQVector2Test, ArithmeticAndLengthsMatchHandValues)
{
    CTQVector2 a(3, 4);
    CTQVector2 b(1, -2);
    EXPECT_EQ(a + b, CTQVector2(4, 2));
    EXPECT_EQ(a - b, CTQVector2(2, 6));
    EXPECT_EQ(-b, CTQVector2(-1, 2));
    EXPECT_EQ(a * 2.0f, CTQVector2(6, 8));
    EXPECT_EQ(2.0f * a, CTQVector2(6, 8));
    EXPECT_FLOAT_EQ(a.Dot(b), -5.0f);
    EXPECT_FLOAT_EQ(a.SquareLength(), 25.0f);
    EXPECT_FLOAT_EQ(a.Length(), 5.0f);
}

TEST(CTQVector2Test, NormalizeRefusesAZeroVector)
{
    CTQVector2 a(3, 4);
    ASSERT_TRUE(a.Normalize(10.0f));
    EXPECT_FLOAT_EQ(a.x, 6.0f);
    EXPECT_FLOAT_EQ(a.y, 8.0f);
    CTQVector2 zero;
    EXPECT_FALSE(zero.Normalize());
    EXPECT_EQ(zero, CTQVector2(0, 0));
}

TEST(CTQVector2Test, RoundTripsThroughAStream)
{
    CTQVector2 v(-1.5f, 2.25f);
    CTQDataStream s(CTQDataStream::eStoring);
    v.Serialize(s);
    EXPECT_EQ(s.GetSize(), 8u);
    s.Rewind(CTQDataStream::eLoading);
    CTQVector2 back;
    back.Serialize(s);
    EXPECT_EQ(back, v);
}
