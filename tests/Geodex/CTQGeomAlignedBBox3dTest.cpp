#include <Geodex/CTQGeomAlignedBBox3d.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <numbers>

namespace
{
constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

void ExpectNear(const CTQVector3& actual, const CTQVector3& expected)
{
    EXPECT_TRUE(actual.IsEqual(expected, 1e-5f)) << actual.x << ", " << actual.y << ", " << actual.z;
}
} // namespace

TEST(CTQGeomAlignedBBox3dTest, NewAndClearedBoxesAreEmpty)
{
    CTQGeomAlignedBBox3d box;
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_FALSE(box.IsValid());
    box.GrowBoundingBox(CTQVector3(1, 2, 3));
    EXPECT_FALSE(box.IsEmpty());
    box.ClearBoundingBox();
    EXPECT_TRUE(box.IsEmpty());
    EXPECT_EQ(box.GetMin(), CTQVector3(FLT_MAX, FLT_MAX, FLT_MAX));
}

TEST(CTQGeomAlignedBBox3dTest, GrowingByPointsGivesTheirCorners)
{
    CTQGeomAlignedBBox3d box;
    box.GrowBoundingBox(CTQVector3(1, 2, 3));
    // One point is a box of no extent, not an empty one.
    EXPECT_EQ(box.GetMin(), CTQVector3(1, 2, 3));
    EXPECT_EQ(box.GetMax(), CTQVector3(1, 2, 3));
    EXPECT_TRUE(box.IsValid());
    box.GrowBoundingBox(CTQVector3(-1, 5, 0));
    EXPECT_EQ(box.GetMin(), CTQVector3(-1, 2, 0));
    EXPECT_EQ(box.GetMax(), CTQVector3(1, 5, 3));
    EXPECT_EQ(box.GetCenter(), CTQVector3(0, 3.5f, 1.5f));
    EXPECT_EQ(box.GetExtent(), CTQVector3(2, 3, 3));
    EXPECT_EQ(box.GetHalfExtent(), CTQVector3(1, 1.5f, 1.5f));
    EXPECT_EQ(box.GetCorner(0), CTQVector3(-1, 2, 0));
    EXPECT_EQ(box.GetCorner(5), CTQVector3(1, 2, 3));
    EXPECT_EQ(box.GetCorner(6), CTQVector3(-1, 5, 3));
}

TEST(CTQGeomAlignedBBox3dTest, UnionWithAnEmptyBoxAddsNothing)
{
    CTQGeomAlignedBBox3d a(CTQVector3(0, 0, 0), CTQVector3(1, 1, 1));
    a.GrowBoundingBox(CTQGeomAlignedBBox3d());
    EXPECT_EQ(a, CTQGeomAlignedBBox3d(CTQVector3(0, 0, 0), CTQVector3(1, 1, 1)));
    a.GrowBoundingBox(CTQGeomAlignedBBox3d(CTQVector3(-2, 0.5f, 0.5f), CTQVector3(0, 3, 0.7f)));
    EXPECT_EQ(a, CTQGeomAlignedBBox3d(CTQVector3(-2, 0, 0), CTQVector3(1, 3, 1)));
    CTQGeomAlignedBBox3d empty;
    empty.GrowBoundingBox(a);
    EXPECT_EQ(empty, a);
}

TEST(CTQGeomAlignedBBox3dTest, MinimumExtentWidensOnlyThinAxesAboutTheirCentre)
{
    CTQGeomAlignedBBox3d flat(CTQVector3(-5, 1, 2), CTQVector3(5, 1.02f, 2));
    flat.EnsureMinimumExtent(3, 0.1f);
    EXPECT_FLOAT_EQ(flat.GetMin().x, -5.0f);
    EXPECT_FLOAT_EQ(flat.GetMax().x, 5.0f);
    EXPECT_NEAR(flat.GetMin().y, 0.96f, 1e-6f);
    EXPECT_NEAR(flat.GetMax().y, 1.06f, 1e-6f);
    EXPECT_NEAR(flat.GetMin().z, 1.95f, 1e-6f);
    EXPECT_NEAR(flat.GetMax().z, 2.05f, 1e-6f);

    // Two axes: z stays flat.
    CTQGeomAlignedBBox3d point(CTQVector3(0, 0, 0), CTQVector3(0, 0, 0));
    point.EnsureMinimumExtent(2, 1.0f);
    EXPECT_EQ(point, CTQGeomAlignedBBox3d(CTQVector3(-0.5f, -0.5f, 0), CTQVector3(0.5f, 0.5f, 0)));

    CTQGeomAlignedBBox3d cleared;
    cleared.EnsureMinimumExtent(3, 1.0f);
    EXPECT_TRUE(cleared.IsEmpty());
    EXPECT_EQ(cleared, CTQGeomAlignedBBox3d());
}

TEST(CTQGeomAlignedBBox3dTest, TransformGivesTheHullOfTheMovedCorners)
{
    CTQGeomAlignedBBox3d box(CTQVector3(-1, -1, -1), CTQVector3(1, 2, 3));
    CTQMatrix44 rot;
    rot.SetRotZ(kHalfPi);
    CTQMatrix44 m = CTQMatrix44::Translation(CTQVector3(10, 0, 0)) * rot;
    CTQGeomAlignedBBox3d moved;
    box.GetTransformed(m, moved);
    // x' = 10 - y, y' = x.
    ExpectNear(moved.GetMin(), CTQVector3(8, -1, -1));
    ExpectNear(moved.GetMax(), CTQVector3(11, 1, 3));

    CTQGeomAlignedBBox3d corners;
    for (int i = 0; i < 8; ++i)
        corners.GrowBoundingBox(m * box.GetCorner(i));
    ExpectNear(moved.GetMin(), corners.GetMin());
    ExpectNear(moved.GetMax(), corners.GetMax());

    box.Transform(m);
    EXPECT_EQ(box, moved);
}

TEST(CTQGeomAlignedBBox3dTest, TransformOfAnEmptyBoxStaysEmpty)
{
    CTQGeomAlignedBBox3d empty;
    empty.Transform(CTQMatrix44::Translation(CTQVector3(1, 2, 3)));
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CTQGeomAlignedBBox3dTest, IntersectionAndContainmentCountBorders)
{
    CTQGeomAlignedBBox3d a(CTQVector3(0, 0, 0), CTQVector3(1, 1, 1));
    EXPECT_TRUE(a.Intersects(CTQGeomAlignedBBox3d(CTQVector3(1, 0, 0), CTQVector3(2, 1, 1))));
    EXPECT_FALSE(a.Intersects(CTQGeomAlignedBBox3d(CTQVector3(1.01f, 0, 0), CTQVector3(2, 1, 1))));
    EXPECT_FALSE(a.Intersects(CTQGeomAlignedBBox3d(CTQVector3(0, 0, -3), CTQVector3(1, 1, -2))));
    EXPECT_FALSE(a.Intersects(CTQGeomAlignedBBox3d()));
    EXPECT_TRUE(a.Contains(CTQVector3(1, 0.5f, 0)));
    EXPECT_FALSE(a.Contains(CTQVector3(1, 0.5f, -0.01f)));
    EXPECT_TRUE(a.Contains(CTQGeomAlignedBBox3d(CTQVector3(0.2f, 0.2f, 0.2f), CTQVector3(1, 1, 1))));
    EXPECT_FALSE(a.Contains(CTQGeomAlignedBBox3d()));
}

TEST(CTQGeomAlignedBBox3dTest, RoundTripsAsSixFloatsAndSurvivesATruncatedStream)
{
    CTQGeomAlignedBBox3d box(CTQVector3(-1, -2, -3), CTQVector3(4, 5, 6));
    CTQDataStream out(CTQDataStream::eStoring);
    box.Serialize(out);
    EXPECT_EQ(out.GetSize(), 24u);
    out.Rewind(CTQDataStream::eLoading);
    CTQGeomAlignedBBox3d back;
    back.Serialize(out);
    EXPECT_EQ(back, box);

    CTQDataStream truncated(CTQDataStream::eLoading, out.GetBuffer(), 13);
    CTQGeomAlignedBBox3d partial;
    partial.Serialize(truncated);
    EXPECT_TRUE(truncated.IsFailed());
    EXPECT_EQ(partial.GetMin(), CTQVector3(-1, -2, -3));
    EXPECT_EQ(partial.GetMax().z, 0.0f);
}
