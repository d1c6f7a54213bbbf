#include <Geodex/CTQRect.h>

#include <Plinth/CTQDataStream.h>

#include <algorithm>
#include <utility>

static_assert(sizeof(int) == sizeof(std::int32_t), "rectangles are stored as 32-bit integers");

int CTQRect::_m_nDataFormatVersion = 0x100;

void CTQRect::SetPosition(const CTQPoint& p)
{
    CTQSize size = GetSize();
    left = p.x;
    top = p.y;
    SetSize(size);
}

CTQPoint CTQRect::CenterPoint() const
{
    // Half the width added to left, so the sum cannot leave the 32-bit range.
    return CTQPoint(Add(left, Width() / 2), Add(top, Height() / 2));
}

void CTQRect::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

void CTQRect::OffsetRect(int dx, int dy)
{
    left = Add(left, dx);
    right = Add(right, dx);
    top = Add(top, dy);
    bottom = Add(bottom, dy);
}

void CTQRect::InflateRect(int dx, int dy)
{
    left = Sub(left, dx);
    right = Add(right, dx);
    top = Sub(top, dy);
    bottom = Add(bottom, dy);
}

bool CTQRect::IntersectRect(const CTQRect& a, const CTQRect& b)
{
    CTQRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom));
    if (r.left >= r.right || r.top >= r.bottom)
    {
        SetRectEmpty();
        return false;
    }
    *this = r;
    return true;
}

bool CTQRect::UnionRect(const CTQRect& a, const CTQRect& b)
{
    bool aEmpty = a.IsRectEmpty();
    bool bEmpty = b.IsRectEmpty();
    if (aEmpty && bEmpty)
    {
        SetRectEmpty();
        return false;
    }
    if (aEmpty || bEmpty)
    {
        *this = aEmpty ? b : a;
        return true;
    }
    SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom));
    return true;
}

void CTQRect::Serialize(CTQDataStream& s)
{
    s.Serialize(left);
    s.Serialize(top);
    s.Serialize(right);
    s.Serialize(bottom);
}
