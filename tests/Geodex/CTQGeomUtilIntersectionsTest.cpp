#include <Geodex/CTQGeomUtilIntersections.h>

#include <gtest/gtest.h>

namespace
{
// The square 0..2 x 0..2 in the plane z = 0, facing +Z.
const CTQVector3 kCorner(0, 0, 0);
const CTQVector3 kCornerU(2, 0, 0);
const CTQVector3 kCornerV(0, 2, 0);

bool Hit(const CTQVector3& start, const CTQVector3& end, bool segment, bool front, bool& outside,
         CTQVector3* point = nullptr, CTQVector3* coords = nullptr)
{
    return CTQGeomUtilIntersections::IntersectsSquare2Line3D(kCorner, kCornerU, kCornerV, start, end, segment, front,
                                                             outside, point, coords);
}
} // namespace

TEST(CTQGeomUtilIntersectionsTest, SegmentThroughTheSquareHitsAtTheHandComputedPoint)
{
    bool outside = true;
    CTQVector3 point;
    CTQVector3 coords;
    ASSERT_TRUE(Hit(CTQVector3(1, 0.5f, 5), CTQVector3(1, 0.5f, -5), true, false, outside, &point, &coords));
    EXPECT_FALSE(outside);
    EXPECT_TRUE(point.IsEqual(CTQVector3(1, 0.5f, 0), 1e-6f));
    EXPECT_TRUE(coords.IsEqual(CTQVector3(0.5f, 0.25f, 0.5f), 1e-6f));
}

TEST(CTQGeomUtilIntersectionsTest, PlaneMetOutsideTheSquareSetsTheOutsideFlag)
{
    bool outside = false;
    CTQVector3 point;
    ASSERT_TRUE(Hit(CTQVector3(3, 3, 5), CTQVector3(3, 3, -5), true, false, outside, &point));
    EXPECT_TRUE(outside);
    EXPECT_TRUE(point.IsEqual(CTQVector3(3, 3, 0), 1e-6f));
    // Borders are inside.
    ASSERT_TRUE(Hit(CTQVector3(2, 1, 1), CTQVector3(2, 1, -1), true, false, outside));
    EXPECT_FALSE(outside);
}

TEST(CTQGeomUtilIntersectionsTest, SegmentFlagStopsAtTheEndPoints)
{
    bool outside = false;
    EXPECT_FALSE(Hit(CTQVector3(1, 1, 5), CTQVector3(1, 1, 1), true, false, outside));
    EXPECT_TRUE(outside);
    CTQVector3 coords;
    ASSERT_TRUE(Hit(CTQVector3(1, 1, 5), CTQVector3(1, 1, 1), false, false, outside, nullptr, &coords));
    EXPECT_FALSE(outside);
    EXPECT_FLOAT_EQ(coords.z, 1.25f);
}

TEST(CTQGeomUtilIntersectionsTest, FrontFlagIgnoresLinesFromBehind)
{
    bool outside = false;
    ASSERT_TRUE(Hit(CTQVector3(1, 1, 1), CTQVector3(1, 1, -1), true, true, outside));
    EXPECT_FALSE(outside);
    EXPECT_FALSE(Hit(CTQVector3(1, 1, -1), CTQVector3(1, 1, 1), true, true, outside));
    EXPECT_TRUE(outside);
    EXPECT_TRUE(Hit(CTQVector3(1, 1, -1), CTQVector3(1, 1, 1), true, false, outside));
    EXPECT_FALSE(outside);
}

TEST(CTQGeomUtilIntersectionsTest, ParallelLinesAndDegenerateShapesGiveFalse)
{
    bool outside = false;
    EXPECT_FALSE(Hit(CTQVector3(0, 0, 1), CTQVector3(1, 1, 1), false, false, outside));
    EXPECT_TRUE(outside);
    EXPECT_FALSE(Hit(CTQVector3(0.5f, 0.5f, 0), CTQVector3(1, 1, 0), false, false, outside)); // in the plane
    EXPECT_FALSE(Hit(CTQVector3(1, 1, 1), CTQVector3(1, 1, 1), false, false, outside));       // no length
    EXPECT_FALSE(CTQGeomUtilIntersections::IntersectsSquare2Line3D(kCorner, kCornerU, CTQVector3(4, 0, 0),
                                                                   CTQVector3(1, 1, 1), CTQVector3(1, 1, -1), false,
                                                                   false, outside));
}

TEST(CTQGeomUtilIntersectionsTest, SlantedSquareAndLineMeetWhereHandComputed)
{
    // The face x = 3 of a box, y 0..1, z 0..2; a segment from the origin
    // towards (6, 1, 2) crosses it at half way.
    bool outside = true;
    CTQVector3 point;
    ASSERT_TRUE(CTQGeomUtilIntersections::IntersectsSquare2Line3D(CTQVector3(3, 0, 0), CTQVector3(3, 1, 0),
                                                                  CTQVector3(3, 0, 2), CTQVector3(0, 0, 0),
                                                                  CTQVector3(6, 1, 2), true, false, outside, &point));
    EXPECT_FALSE(outside);
    EXPECT_TRUE(point.IsEqual(CTQVector3(3, 0.5f, 1), 1e-6f));
}
