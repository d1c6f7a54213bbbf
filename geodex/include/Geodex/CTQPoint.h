#pragma once

#include <Geodex/GeodexExport.h>

class CTQDataStream;

// A point on the display in whole pixels, x to the right, y downwards.
// Serialised as x, y (32-bit signed little-endian), without a bracket.
class GEODEX_API CTQPoint
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    constexpr CTQPoint() : x(0), y(0) {}
    constexpr CTQPoint(int inX, int inY) : x(inX), y(inY) {}

    void SetPoint(int inX, int inY)
    {
        x = inX;
        y = inY;
    }
    void Offset(int dx, int dy)
    {
        x += dx;
        y += dy;
    }

    bool operator==(const CTQPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const CTQPoint& p) const { return !(*this == p); }

    void Serialize(CTQDataStream& s);

    int x;
    int y;
};

inline CTQPoint operator+(const CTQPoint& a, const CTQPoint& b) { return CTQPoint(a.x + b.x, a.y + b.y); }
inline CTQPoint operator-(const CTQPoint& a, const CTQPoint& b) { return CTQPoint(a.x - b.x, a.y - b.y); }
