#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQQuaternion.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const CTQVector3& actual, const CTQVector3& expected)
{
    EXPECT_TRUE(actual.IsEqual(expected, 1e-6f)) << actual.x << ", " << actual.y << ", " << actual.z;
}

// q and -q are the same rotation.
void ExpectSameRotation(const CTQQuaternion& a, const CTQQuaternion& b)
{
    EXPECT_NEAR(std::fabs(a.Dot(b)), 1.0f, 1e-6f);
}

CTQQuaternion AxisAngle(const CTQVector3& axis, float radians)
{
    CTQQuaternion q;
    q.SetAxisAngle(axis, radians);
    return q;
}
} // namespace

TEST(CTQQuaternionTest, QuarterTurnAboutZTurnsXIntoY)
{
    CTQQuaternion q = AxisAngle(CTQVector3::BaseZ, kPi / 2);
    EXPECT_NEAR(q.z, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(q.w, std::sqrt(0.5f), 1e-6f);
    ExpectNear(q.Rotate(CTQVector3::BaseX), CTQVector3::BaseY);

    CTQMatrix44 fromQ;
    fromQ.SetQ(q);
    CTQMatrix44 rotZ;
    rotZ.SetRotZ(kPi / 2);
    EXPECT_TRUE(fromQ.IsEqual(rotZ, 1e-6f));
}

TEST(CTQQuaternionTest, SetQNormalisesALongQuaternionAndKeepsTranslationOnRequest)
{
    CTQMatrix44 m = CTQMatrix44::Translation(CTQVector3(4, 5, 6));
    m.SetQ(CTQQuaternion(0, 0, 2, 2), false);
    ExpectNear(m * CTQVector3::BaseX, CTQVector3(4, 6, 6));
    m.SetQ(CTQQuaternion(0, 0, 0, 0));
    EXPECT_EQ(m, CTQMatrix44::Identity);
}

TEST(CTQQuaternionTest, MatrixRoundTripCoversEveryBranch)
{
    const CTQQuaternion cases[] = {
        AxisAngle(CTQVector3(1, 2, 3), 0.4f),            // positive trace
        AxisAngle(CTQVector3::BaseX, kPi),               // x largest
        AxisAngle(CTQVector3::BaseY, kPi),               // y largest
        AxisAngle(CTQVector3::BaseZ, kPi),               // z largest
        AxisAngle(CTQVector3(1, -1, 0.2f), 2.9f),        // near half turn, off axis
    };
    for (const CTQQuaternion& q : cases)
    {
        CTQMatrix44 m;
        q.GetMatrix(m);
        CTQQuaternion back;
        back.SetFromMatrix(m);
        ExpectSameRotation(back, q);
    }
}

TEST(CTQQuaternionTest, ProductTurnsByTheRightFactorFirstLikeMatrices)
{
    CTQQuaternion a = AxisAngle(CTQVector3::BaseX, kPi / 2);
    CTQQuaternion b = AxisAngle(CTQVector3::BaseZ, kPi / 2);
    // b turns X into Y, then a turns Y into Z.
    ExpectNear((a * b).Rotate(CTQVector3::BaseX), CTQVector3::BaseZ);
    CTQMatrix44 ma, mb, mab;
    a.GetMatrix(ma);
    b.GetMatrix(mb);
    (a * b).GetMatrix(mab);
    EXPECT_TRUE(mab.IsEqual(ma * mb, 1e-6f));
    CTQQuaternion c = a;
    c *= b;
    EXPECT_EQ(c, a * b);
}

TEST(CTQQuaternionTest, ConjugateAndInverseUndoTheRotation)
{
    CTQQuaternion q = AxisAngle(CTQVector3(0, 1, 1), 1.1f);
    ExpectSameRotation(q * q.GetConjugate(), CTQQuaternion());
    CTQQuaternion longer(q.x * 3, q.y * 3, q.z * 3, q.w * 3);
    CTQQuaternion inverse = longer;
    ASSERT_TRUE(inverse.Invert());
    CTQQuaternion product = longer * inverse;
    EXPECT_NEAR(product.w, 1.0f, 1e-6f);
    EXPECT_NEAR(product.x, 0.0f, 1e-6f);
    CTQQuaternion conj = q;
    conj.Conjugate();
    EXPECT_EQ(conj, q.GetConjugate());
}

TEST(CTQQuaternionTest, DegenerateInputsAreRefused)
{
    CTQQuaternion q(1, 2, 3, 4);
    EXPECT_FALSE(q.SetAxisAngle(CTQVector3::Zero, 1.0f));
    EXPECT_EQ(q, CTQQuaternion());
    CTQQuaternion zero(0, 0, 0, 0);
    EXPECT_FALSE(zero.Normalize());
    EXPECT_FALSE(zero.Invert());
    EXPECT_EQ(zero, CTQQuaternion(0, 0, 0, 0));
}

TEST(CTQQuaternionTest, AxisAngleComesBackOut)
{
    CTQVector3 axis;
    float angle = 0.0f;
    AxisAngle(CTQVector3(0, 0, 5), 1.25f).GetAxisAngle(axis, angle);
    ExpectNear(axis, CTQVector3::BaseZ);
    EXPECT_NEAR(angle, 1.25f, 1e-5f);
    CTQQuaternion().GetAxisAngle(axis, angle);
    EXPECT_EQ(axis, CTQVector3::BaseX);
    EXPECT_FLOAT_EQ(angle, 0.0f);
}

TEST(CTQQuaternionTest, RoundTripsThroughAStream)
{
    CTQQuaternion q(0.1f, 0.2f, 0.3f, 0.9f);
    CTQDataStream s(CTQDataStream::eStoring);
    q.Serialize(s);
    EXPECT_EQ(s.GetSize(), 16u);
    s.Rewind(CTQDataStream::eLoading);
    CTQQuaternion back;
    back.Serialize(s);
    EXPECT_EQ(back, q);
}
