#include <Geodex/CTQVector2.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

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
