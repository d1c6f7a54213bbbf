#include <Geodex/CTQPoint.h>
#include <Geodex/CTQRect.h>
#include <Geodex/CTQSize.h>
#include <Plinth/CTQDataStream.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

TEST(CTQRectTest, SizeAndPositionMoveTheRightSides)
{
    CTQRect r(10, 20, 40, 60);
    EXPECT_EQ(r.Width(), 30);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.GetSize(), CTQSize(30, 40));
    EXPECT_EQ(r.GetPosition(), CTQPoint(10, 20));

    r.SetSize(CTQSize(5, 6));
    EXPECT_EQ(r, CTQRect(10, 20, 15, 26));
    r.SetPosition(CTQPoint(-3, 100));
    EXPECT_EQ(r, CTQRect(-3, 100, 2, 106));
    EXPECT_EQ(CTQRect(CTQPoint(1, 2), CTQSize(3, 4)), CTQRect(1, 2, 4, 6));
    EXPECT_EQ(CTQRect(0, 0, 10, 20).CenterPoint(), CTQPoint(5, 10));
}

TEST(CTQRectTest, PtInRectHoldsLeftAndTopButNotRightAndBottom)
{
    CTQRect r(0, 0, 10, 5);
    EXPECT_TRUE(r.PtInRect(CTQPoint(0, 0)));
    EXPECT_TRUE(r.PtInRect(CTQPoint(9, 4)));
    EXPECT_FALSE(r.PtInRect(CTQPoint(10, 2)));
    EXPECT_FALSE(r.PtInRect(CTQPoint(2, 5)));
    EXPECT_FALSE(r.PtInRect(CTQPoint(-1, 2)));
}

TEST(CTQRectTest, NormalizeSwapsInvertedSides)
{
    CTQRect r(10, 8, 2, 4);
    EXPECT_TRUE(r.IsRectEmpty());
    r.Normalize();
    EXPECT_EQ(r, CTQRect(2, 4, 10, 8));
    EXPECT_FALSE(r.IsRectEmpty());
}

TEST(CTQRectTest, IntersectAndUnionCombineRectangles)
{
    CTQRect out;
    ASSERT_TRUE(out.IntersectRect(CTQRect(0, 0, 10, 10), CTQRect(5, -5, 20, 7)));
    EXPECT_EQ(out, CTQRect(5, 0, 10, 7));
    // Touching edges share no pixel.
    EXPECT_FALSE(out.IntersectRect(CTQRect(0, 0, 10, 10), CTQRect(10, 0, 20, 10)));
    EXPECT_EQ(out, CTQRect());

    ASSERT_TRUE(out.UnionRect(CTQRect(0, 0, 2, 2), CTQRect(5, 6, 7, 8)));
    EXPECT_EQ(out, CTQRect(0, 0, 7, 8));
    ASSERT_TRUE(out.UnionRect(CTQRect(), CTQRect(5, 6, 7, 8)));
    EXPECT_EQ(out, CTQRect(5, 6, 7, 8));
    EXPECT_FALSE(out.UnionRect(CTQRect(), CTQRect(3, 3, 3, 9)));

    CTQRect moved(0, 0, 4, 4);
    moved.OffsetRect(2, -1);
    EXPECT_EQ(moved, CTQRect(2, -1, 6, 3));
    moved.InflateRect(1, 2);
    EXPECT_EQ(moved, CTQRect(1, -3, 7, 5));
}

TEST(CTQRectTest, ExtremeSidesWrapInsteadOfOverflowing)
{
    CTQRect r(INT_MIN, 0, INT_MAX, 1);
    EXPECT_EQ(r.Width(), -1);
    r.OffsetRect(1, 0);
    EXPECT_EQ(r.right, INT_MIN);
}

TEST(CTQRectTest, StoresFourLittleEndianIntegers)
{
    CTQRect r(1, -2, 3, 258);
    CTQDataStream out(CTQDataStream::eStoring);
    r.Serialize(out);
    const std::vector<std::uint8_t> expected = {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF,
                                                0x03, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(out.GetBuffer(), out.GetBuffer() + out.GetSize()), expected);
    out.Rewind(CTQDataStream::eLoading);
    CTQRect back;
    back.Serialize(out);
    EXPECT_EQ(back, r);
}

TEST(CTQRectTest, PointAndSizeRoundTripAndTruncatedLoadsFail)
{
    CTQDataStream out(CTQDataStream::eStoring);
    CTQPoint p(-7, 9);
    CTQSize size(640, 480);
    p.Serialize(out);
    size.Serialize(out);
    EXPECT_EQ(out.GetSize(), 16u);
    out.Rewind(CTQDataStream::eLoading);
    CTQPoint p2;
    CTQSize size2;
    p2.Serialize(out);
    size2.Serialize(out);
    EXPECT_EQ(p2, p);
    EXPECT_EQ(size2, size);

    CTQDataStream truncated(CTQDataStream::eLoading, out.GetBuffer(), 6);
    CTQRect r(5, 5, 5, 5);
    r.Serialize(truncated);
    EXPECT_TRUE(truncated.IsFailed());
    EXPECT_EQ(r.left, -7);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
}
