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
