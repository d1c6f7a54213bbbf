#include <Geodex/CTQMatrix44.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace
{
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

const CTQMatrix44 kCounting(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);

void ExpectNear(const CTQVector3& actual, const CTQVector3& expected)
{
    EXPECT_TRUE(actual.IsEqual(expected, 1e-6f)) << actual.x << ", " << actual.y << ", " << actual.z;
}
} // namespace

TEST(CTQMatrix44Test, ConstructorReadsRowByRowAndAccessIsOneBased)
{
    EXPECT_FLOAT_EQ(kCounting.GetCoeff(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(kCounting.GetCoeff(1, 2), 2.0f);
    EXPECT_FLOAT_EQ(kCounting.GetCoeff(2, 1), 5.0f);
    EXPECT_FLOAT_EQ(kCounting(3, 4), 12.0f);
    EXPECT_FLOAT_EQ(kCounting(4, 4), 16.0f);
    EXPECT_EQ(kCounting.GetCol(4), CTQVector4(4, 8, 12, 16));
    EXPECT_EQ(kCounting.GetRow(2), CTQVector4(5, 6, 7, 8));

    CTQMatrix44 m;
    m.Set(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m, kCounting);
    m.SetCoeff(2, 3, -1.0f);
    EXPECT_FLOAT_EQ(m(2, 3), -1.0f);
    m(4, 1) = 99.0f;
    EXPECT_FLOAT_EQ(m.GetCoeff(4, 1), 99.0f);
    m.SetCol(1, CTQVector4(0, 0, 0, 1));
    EXPECT_FLOAT_EQ(m(1, 1), 0.0f);
    EXPECT_FLOAT_EQ(m(4, 1), 1.0f);
    m.SetId();
    EXPECT_EQ(m, CTQMatrix44::Identity);
}

TEST(CTQMatrix44Test, ProductMatchesHandComputedValuesInTheRightOrder)
{
    // Columns of b: (2, 0, 0, 1), e2, e3, (1, 0, 0, 1).
    CTQMatrix44 b(2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1);
    CTQMatrix44 ab(6, 2, 3, 5, 18, 6, 7, 13, 30, 10, 11, 21, 42, 14, 15, 29);
    EXPECT_EQ(kCounting * b, ab);
    // b × a mixes rows instead: row 1 = 2 × row 1 of a + row 4 of a.
    EXPECT_EQ((b * kCounting).GetRow(1), CTQVector4(15, 18, 21, 24));
    CTQMatrix44 m = kCounting;
    m *= b;
    EXPECT_EQ(m, ab);
}

TEST(CTQMatrix44Test, PointsAreMovedButDirectionsOnlyTurned)
{
    CTQMatrix44 rot;
    rot.SetRotZ(kHalfPi);
    CTQMatrix44 m = CTQMatrix44::Translation(CTQVector3(10, 20, 30)) * rot;
    ExpectNear(m * CTQVector3::BaseX, CTQVector3(10, 21, 30));
    ExpectNear(m % CTQVector3::BaseX, CTQVector3(0, 1, 0));
    CTQVector4 asDirection = m * CTQVector4(1, 0, 0, 0);
    ExpectNear(asDirection.GetVector3(), CTQVector3(0, 1, 0));
    EXPECT_FLOAT_EQ(asDirection.w, 0.0f);
    CTQVector4 asPoint = m * CTQVector4(1, 0, 0, 1);
    ExpectNear(asPoint.GetVector3(), CTQVector3(10, 21, 30));
}

TEST(CTQMatrix44Test, RotationsTurnAxesCounterClockwise)
{
    CTQMatrix44 m;
    m.SetRotZ(kHalfPi);
    ExpectNear(m * CTQVector3::BaseX, CTQVector3::BaseY);
    m.SetRotX(kHalfPi);
    ExpectNear(m * CTQVector3::BaseY, CTQVector3::BaseZ);
    m.SetRotY(kHalfPi);
    ExpectNear(m * CTQVector3::BaseZ, CTQVector3::BaseX);
}

TEST(CTQMatrix44Test, RotationFlagChoosesBetweenResetAndKeepingTheTranslation)
{
    CTQMatrix44 placed = CTQMatrix44::Translation(CTQVector3(1, 2, 3));
    placed.SetRotZ(kHalfPi, false);
    EXPECT_EQ(placed.GetTranslation(), CTQVector3(1, 2, 3));
    ExpectNear(placed % CTQVector3::BaseX, CTQVector3::BaseY);

    CTQMatrix44 reset = CTQMatrix44::Translation(CTQVector3(1, 2, 3));
    reset.SetRotZ(kHalfPi);
    EXPECT_EQ(reset.GetTranslation(), CTQVector3(0, 0, 0));
    EXPECT_EQ(reset.GetRow(4), CTQVector4(0, 0, 0, 1));
}

TEST(CTQMatrix44Test, InverseOfTranslateScaleMatchesHandValues)
{
    CTQMatrix44 m = CTQMatrix44::Translation(CTQVector3(1, 2, 3)) * CTQMatrix44::Scaling(CTQVector3(2, 4, 8));
    EXPECT_FLOAT_EQ(m.GetDeterminant(), 64.0f);
    ASSERT_TRUE(m.Invert());
    CTQMatrix44 expected(0.5f, 0, 0, -0.5f, 0, 0.25f, 0, -0.5f, 0, 0, 0.125f, -0.375f, 0, 0, 0, 1);
    EXPECT_TRUE(m.IsEqual(expected, 1e-7f));
}

TEST(CTQMatrix44Test, GeneralInverseGivesTheIdentityBothWays)
{
    CTQMatrix44 a(2, 1, 0, 3, -1, 3, 1, 0, 0, 2, 4, 1, 1, 0, 1, 2);
    CTQMatrix44 inverse;
    ASSERT_TRUE(a.GetInverse(inverse));
    EXPECT_TRUE((a * inverse).IsEqual(CTQMatrix44::Identity, 1e-5f));
    EXPECT_TRUE((inverse * a).IsEqual(CTQMatrix44::Identity, 1e-5f));
}

TEST(CTQMatrix44Test, SingularMatrixFailsToInvertAndStaysUnchanged)
{
    CTQMatrix44 dependent(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 0, 1);
    CTQMatrix44 copy = dependent;
    EXPECT_FALSE(dependent.Invert());
    EXPECT_EQ(dependent, copy);

    CTQMatrix44 zero(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    CTQMatrix44 out = CTQMatrix44::Translation(CTQVector3(7, 7, 7));
    EXPECT_FALSE(zero.GetInverse(out));
    EXPECT_EQ(out, CTQMatrix44::Translation(CTQVector3(7, 7, 7)));

    // Flattened after a rotation: singular, but rounding leaves a tiny determinant.
    CTQMatrix44 rot;
    rot.SetRotZ(0.3f);
    CTQMatrix44 tilt;
    tilt.SetRotX(0.7f);
    CTQMatrix44 flat = tilt * rot * CTQMatrix44::Scaling(CTQVector3(1, 1, 0)) * rot;
    EXPECT_FALSE(flat.Invert());
}

TEST(CTQMatrix44Test, TinyOrLopsidedButWellShapedMatricesStillInvert)
{
    // A fixed threshold on the determinant (here 1e-9) would refuse this.
    CTQMatrix44 small = CTQMatrix44::Scaling(CTQVector3(1e-3f, 1e-3f, 1e-3f));
    ASSERT_TRUE(small.Invert());
    EXPECT_NEAR(small(1, 1), 1000.0f, 1e-2f);

    // An orthographic projection with a far plane a million units away.
    float n = 0.1f, f = 1e7f;
    CTQMatrix44 ortho(1e-3f, 0, 0, 0, 0, 1e-3f, 0, 0, 0, 0, 2.0f / (f - n), (f + n) / (f - n), 0, 0, 0, 1);
    CTQMatrix44 inverse;
    ASSERT_TRUE(ortho.GetInverse(inverse));
    EXPECT_NEAR(inverse(1, 1), 1000.0f, 1e-2f);
    EXPECT_NEAR(inverse(3, 3), (f - n) / 2.0f, 10.0f);
    EXPECT_NEAR(inverse(3, 4), -(f + n) / 2.0f, 10.0f);
}

TEST(CTQMatrix44Test, TransposeSwapsRowsAndColumns)
{
    CTQMatrix44 t = kCounting.GetTransposed();
    EXPECT_EQ(t.GetRow(1), CTQVector4(1, 5, 9, 13));
    EXPECT_EQ(t.GetCol(1), CTQVector4(1, 2, 3, 4));
    t.Transpose();
    EXPECT_EQ(t, kCounting);
}

TEST(CTQMatrix44Test, StoresSixteenFloatsRowByRow)
{
    CTQMatrix44 m = kCounting;
    CTQDataStream out(CTQDataStream::eStoring);
    m.Serialize(out);
    ASSERT_EQ(out.GetSize(), 64u);
    // Second float is m12 = 2.0, fifth is m21 = 5.0.
    const std::vector<std::uint8_t> two = {0x00, 0x00, 0x00, 0x40};
    const std::vector<std::uint8_t> five = {0x00, 0x00, 0xA0, 0x40};
    EXPECT_EQ(std::vector<std::uint8_t>(out.GetBuffer() + 4, out.GetBuffer() + 8), two);
    EXPECT_EQ(std::vector<std::uint8_t>(out.GetBuffer() + 16, out.GetBuffer() + 20), five);

    out.Rewind(CTQDataStream::eLoading);
    CTQMatrix44 back;
    back.Serialize(out);
    EXPECT_EQ(back, kCounting);
}

TEST(CTQMatrix44Test, TruncatedLoadDoesNotCrashAndFailsTheStream)
{
    CTQDataStream out(CTQDataStream::eStoring);
    CTQMatrix44 m = kCounting;
    m.Serialize(out);
    CTQDataStream in(CTQDataStream::eLoading, out.GetBuffer(), 10);
    CTQMatrix44 back;
    back.Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_FLOAT_EQ(back(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(back(4, 4), 0.0f);
}
