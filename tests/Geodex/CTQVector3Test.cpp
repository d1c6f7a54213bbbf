#include <Geodex/CTQVector3.h>
#include <Geodex/CTQVector4.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace
{
void ExpectVec(const CTQVector3& actual, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(actual.x, x);
    EXPECT_FLOAT_EQ(actual.y, y);
    EXPECT_FLOAT_EQ(actual.z, z);
}
} // namespace

TEST(CTQVector3Test, StarBetweenVectorsIsTheRightHandedCrossProduct)
{
    EXPECT_EQ(CTQVector3::BaseX * CTQVector3::BaseY, CTQVector3::BaseZ);
    EXPECT_EQ(CTQVector3::BaseY * CTQVector3::BaseZ, CTQVector3::BaseX);
    EXPECT_EQ(CTQVector3::BaseZ * CTQVector3::BaseX, CTQVector3::BaseY);
    EXPECT_EQ(CTQVector3::BaseY * CTQVector3::BaseX, -CTQVector3::BaseZ);
    // (2*6 - 3*5, 3*4 - 1*6, 1*5 - 2*4)
    ExpectVec(CTQVector3(1, 2, 3) * CTQVector3(4, 5, 6), -3, 6, -3);
}

TEST(CTQVector3Test, ArithmeticMatchesHandComputedValues)
{
    CTQVector3 a(1, 2, 3);
    CTQVector3 b(4, 5, 6);
    ExpectVec(a + b, 5, 7, 9);
    ExpectVec(b - a, 3, 3, 3);
    ExpectVec(-a, -1, -2, -3);
    ExpectVec(a * 2.0f, 2, 4, 6);
    ExpectVec(0.5f * a, 0.5f, 1, 1.5f);
    EXPECT_FLOAT_EQ(a.Dot(b), 32.0f);
    CTQVector3 c = a;
    c += b;
    ExpectVec(c, 5, 7, 9);
    c -= a;
    ExpectVec(c, 4, 5, 6);
    c *= -1.0f;
    ExpectVec(c, -4, -5, -6);
    EXPECT_FLOAT_EQ(CTQVector3(1, 2, 2).SquareLength(), 9.0f);
    EXPECT_FLOAT_EQ(CTQVector3(1, 2, 2).Length(), 3.0f);
    ExpectVec(CTQVector3::Min(a, CTQVector3(0, 5, 3)), 0, 2, 3);
    ExpectVec(CTQVector3::Max(a, CTQVector3(0, 5, 3)), 1, 5, 3);
    EXPECT_FLOAT_EQ(a[0], 1.0f);
    EXPECT_FLOAT_EQ(a[2], 3.0f);
    a[1] = 7.0f;
    EXPECT_FLOAT_EQ(a.y, 7.0f);
}

TEST(CTQVector3Test, NormalizeScalesToTheRequestedLength)
{
    CTQVector3 v(3, 4, 0);
    ASSERT_TRUE(v.Normalize());
    ExpectVec(v, 0.6f, 0.8f, 0.0f);
    ASSERT_TRUE(v.Normalize(10.0f));
    ExpectVec(v, 6.0f, 8.0f, 0.0f);
}

TEST(CTQVector3Test, NormalizeRefusesNearZeroOrNonFiniteVectorsAndLeavesThemUnchanged)
{
    CTQVector3 zero;
    EXPECT_FALSE(zero.Normalize());
    EXPECT_EQ(zero, CTQVector3::Zero);

    CTQVector3 tiny(1e-7f, 0.0f, 0.0f);
    EXPECT_FALSE(tiny.Normalize(5.0f));
    EXPECT_EQ(tiny, CTQVector3(1e-7f, 0.0f, 0.0f));

    float nan = std::numeric_limits<float>::quiet_NaN();
    CTQVector3 bad(nan, 1.0f, 0.0f);
    EXPECT_FALSE(bad.Normalize());
    EXPECT_TRUE(std::isnan(bad.x));

    CTQVector3 huge(std::numeric_limits<float>::infinity(), 0.0f, 0.0f);
    EXPECT_FALSE(huge.Normalize());
}

TEST(CTQVector3Test, ConversionsKeepTheSharedComponents)
{
    CTQVector3 v(1, 2, 3);
    CTQVector2 flat = v.GetVector2();
    EXPECT_EQ(flat, CTQVector2(1, 2));
    EXPECT_EQ(CTQVector2(v), CTQVector2(1, 2));
    EXPECT_EQ(CTQVector3(CTQVector2(5, 6)), CTQVector3(5, 6, 0));
    EXPECT_EQ(CTQVector3(CTQVector2(5, 6), 7.0f), CTQVector3(5, 6, 7));

    EXPECT_EQ(CTQVector4(v), CTQVector4(1, 2, 3, 1));
    EXPECT_EQ(CTQVector4(v, 0.0f), CTQVector4(1, 2, 3, 0));
    // Dropping w does not divide by it.
    EXPECT_EQ(CTQVector4(2, 4, 6, 2).GetVector3(), CTQVector3(2, 4, 6));
    EXPECT_EQ(CTQVector3(CTQVector4(2, 4, 6, 2)), CTQVector3(2, 4, 6));
}

TEST(CTQVector3Test, StoresThreeLittleEndianFloatsWithoutABracket)
{
    CTQVector3 v(1.0f, -2.0f, 0.5f);
    CTQDataStream out(CTQDataStream::eStoring);
    v.Serialize(out);
    const std::vector<std::uint8_t> expected = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x3F};
    ASSERT_EQ(out.GetSize(), expected.size());
    EXPECT_EQ(std::vector<std::uint8_t>(out.GetBuffer(), out.GetBuffer() + out.GetSize()), expected);

    CTQDataStream in(CTQDataStream::eLoading, out.GetBuffer(), out.GetSize());
    CTQVector3 back;
    back.Serialize(in);
    EXPECT_EQ(back, v);
    EXPECT_FALSE(in.IsFailed());
}

TEST(CTQVector3Test, TruncatedLoadReadsZerosAndFailsTheStream)
{
    const std::uint8_t onlyX[] = {0x00, 0x00, 0x80, 0x3F};
    CTQDataStream in(CTQDataStream::eLoading, onlyX, sizeof(onlyX));
    CTQVector3 v(9, 9, 9);
    v.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(v, CTQVector3(1, 0, 0));
}
