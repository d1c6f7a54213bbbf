#include <Geodex/CTQVector4.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

TEST(CTQVector4Test, NormalizeWDividesByW)
{
    CTQVector4 v(2, 4, -6, 2);
    ASSERT_TRUE(v.NormalizeW());
    EXPECT_EQ(v, CTQVector4(1, 2, -3, 1));
    EXPECT_EQ(CTQVector4(3, 6, 9, -3).GetNormalizedW(), CTQVector4(-1, -2, -3, 1));
}

TEST(CTQVector4Test, NormalizeWRefusesAZeroWAndLeavesTheVectorUnchanged)
{
    CTQVector4 direction(1, 2, 3, 0);
    EXPECT_FALSE(direction.NormalizeW());
    EXPECT_EQ(direction, CTQVector4(1, 2, 3, 0));
    EXPECT_EQ(direction.GetNormalizedW(), direction);
}

TEST(CTQVector4Test, ArithmeticWorksOnAllFourComponents)
{
    CTQVector4 a(1, 2, 3, 4);
    CTQVector4 b(4, 3, 2, 1);
    EXPECT_EQ(a + b, CTQVector4(5, 5, 5, 5));
    EXPECT_EQ(a - b, CTQVector4(-3, -1, 1, 3));
    EXPECT_EQ(-a, CTQVector4(-1, -2, -3, -4));
    EXPECT_EQ(a * 2.0f, CTQVector4(2, 4, 6, 8));
    EXPECT_EQ(2.0f * a, CTQVector4(2, 4, 6, 8));
    EXPECT_FLOAT_EQ(a.Dot(b), 20.0f);
    a += b;
    EXPECT_EQ(a, CTQVector4(5, 5, 5, 5));
    a -= b;
    EXPECT_EQ(a, CTQVector4(1, 2, 3, 4));
}

TEST(CTQVector4Test, RoundTripsThroughAStreamAsSixteenBytes)
{
    CTQVector4 v(1, -2, 3.5f, 1);
    CTQDataStream s(CTQDataStream::eStoring);
    v.Serialize(s);
    EXPECT_EQ(s.GetSize(), 16u);
    s.Rewind(CTQDataStream::eLoading);
    CTQVector4 back;
    back.Serialize(s);
    EXPECT_EQ(back, v);
}
