#include <Geodex/CTQGeomOrientedBBox3d.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
const CTQGeomAlignedBBox3d kUnitCube(CTQVector3(-1, -1, -1), CTQVector3(1, 1, 1));

CTQMatrix44 TurnedAndMoved()
{
    CTQMatrix44 rot;
    rot.SetRotZ(std::numbers::pi_v<float> / 4.0f);
    return CTQMatrix44::Translation(CTQVector3(0, 0, 5)) * rot;
}
} // namespace

TEST(CTQGeomOrientedBBox3dTest, HullOfATurnedCubeReachesItsDiagonal)
{
    CTQGeomOrientedBBox3d obb;
    CTQGeomAlignedBBox3d hull;
    obb.SetFromAlignedBox(TurnedAndMoved(), kUnitCube, hull);
    float r = std::sqrt(2.0f);
    EXPECT_TRUE(hull.GetMin().IsEqual(CTQVector3(-r, -r, 4), 1e-5f));
    EXPECT_TRUE(hull.GetMax().IsEqual(CTQVector3(r, r, 6), 1e-5f));

    CTQMatrix44 system;
    obb.GetCoordinateSystem(system);
    EXPECT_EQ(system, TurnedAndMoved());
    EXPECT_EQ(obb.GetLocalBox(), kUnitCube);
    EXPECT_TRUE(obb.GetCenter().IsEqual(CTQVector3(0, 0, 5), 1e-6f));
    // Corner 1 is local (1, -1, -1): turned by 45 degrees onto the +X axis.
    EXPECT_TRUE(obb.GetCorner(1).IsEqual(CTQVector3(r, 0, 4), 1e-5f));
}

TEST(CTQGeomOrientedBBox3dTest, ContainsIsTighterThanTheHull)
{
    CTQGeomOrientedBBox3d obb(TurnedAndMoved(), kUnitCube);
    CTQGeomAlignedBBox3d hull;
    obb.GetAlignedHull(hull);
    CTQVector3 alongDiagonal(1.3f, 0, 5);
    CTQVector3 inHullCorner(1.3f, 1.3f, 5);
    EXPECT_TRUE(obb.Contains(alongDiagonal));
    EXPECT_TRUE(hull.Contains(inHullCorner));
    EXPECT_FALSE(obb.Contains(inHullCorner));
}

TEST(CTQGeomOrientedBBox3dTest, EmptyLocalBoxGivesAnEmptyHull)
{
    CTQGeomOrientedBBox3d obb;
    EXPECT_TRUE(obb.IsEmpty());
    CTQGeomAlignedBBox3d hull(CTQVector3(0, 0, 0), CTQVector3(1, 1, 1));
    obb.SetFromAlignedBox(TurnedAndMoved(), CTQGeomAlignedBBox3d(), hull);
    EXPECT_TRUE(hull.IsEmpty());
    obb.Clear();
    EXPECT_EQ(obb.GetCoordinateSystem(), CTQMatrix44::Identity);
}

TEST(CTQGeomOrientedBBox3dTest, RoundTripsMatrixThenLocalBox)
{
    CTQGeomOrientedBBox3d obb(TurnedAndMoved(), kUnitCube);
    CTQDataStream s(CTQDataStream::eStoring);
    obb.Serialize(s);
    EXPECT_EQ(s.GetSize(), 64u + 24u);
    s.Rewind(CTQDataStream::eLoading);
    CTQGeomOrientedBBox3d back;
    back.Serialize(s);
    EXPECT_EQ(back.GetCoordinateSystem(), TurnedAndMoved());
    EXPECT_EQ(back.GetLocalBox(), kUnitCube);
}
