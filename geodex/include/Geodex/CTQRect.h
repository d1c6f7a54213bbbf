#pragma once

#include <Geodex/CTQPoint.h>
#include <Geodex/CTQSize.h>
#include <Geodex/GeodexExport.h>

#include <cstdint>

class CTQDataStream;

// A rectangle of whole pixels: left and top inside, right and bottom just
// outside (so Width() = right - left and a 1 x 1 rectangle holds one pixel).
// A normalised rectangle has left <= right and top <= bottom; the operations
// that compare or combine rectangles expect normalised ones.
//
// Sums and differences wrap around in 32 bits rather than overflow, so
// rectangles read from damaged data never cause undefined behaviour.
//
// Serialised as left, top, right, bottom (32-bit signed little-endian), without
// a bracket.
class GEODEX_API CTQRect
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    constexpr CTQRect() : left(0), top(0), right(0), bottom(0) {}
    constexpr CTQRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    CTQRect(const CTQPoint& topLeft, const CTQSize& size)
        : left(topLeft.x), top(topLeft.y), right(Add(topLeft.x, size.cx)), bottom(Add(topLeft.y, size.cy))
    {
    }

    void SetRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const CTQRect& r) { *this = r; }
    bool EqualRect(const CTQRect& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }

    int Width() const { return Sub(right, left); }
    int Height() const { return Sub(bottom, top); }
    CTQSize GetSize() const { return CTQSize(Width(), Height()); }
    // Keeps the top-left corner and moves right and bottom.
    void SetSize(const CTQSize& size)
    {
        right = Add(left, size.cx);
        bottom = Add(top, size.cy);
    }
    // The top-left corner.
    CTQPoint GetPosition() const { return CTQPoint(left, top); }
    // Moves the rectangle so that its top-left corner is p; the size is kept.
    void SetPosition(const CTQPoint& p);
    CTQPoint CenterPoint() const;

    // True when the rectangle holds no pixel (width or height not positive).
    bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    // Left and top inside, right and bottom outside.
    bool PtInRect(const CTQPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    // Swaps the sides as needed so that left <= right and top <= bottom.
    void Normalize();

    void OffsetRect(int dx, int dy);
    // Moves every side outwards by dx and dy (inwards for negative values).
    void InflateRect(int dx, int dy);
    // This rectangle becomes the overlap of a and b; with no overlap it becomes
    // empty (all zero) and the result is false.
    bool IntersectRect(const CTQRect& a, const CTQRect& b);
    // This rectangle becomes the smallest that holds a and b; an empty one adds
    // nothing. False when both are empty.
    bool UnionRect(const CTQRect& a, const CTQRect& b);

    bool operator==(const CTQRect& r) const { return EqualRect(r); }
    bool operator!=(const CTQRect& r) const { return !EqualRect(r); }

    void Serialize(CTQDataStream& s);

    int left;
    int top;
    int right;
    int bottom;

private:
    // Two's-complement wrap-around, well defined since C++20's conversions.
    static int Add(int a, int b)
    {
        return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
    }
    static int Sub(int a, int b)
    {
        return static_cast<int>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
    }
};
