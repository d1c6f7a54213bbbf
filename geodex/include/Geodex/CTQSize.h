#pragma once

#include <Geodex/GeodexExport.h>

class CTQDataStream;

// A width (cx) and a height (cy) in whole pixels.
// Serialised as cx, cy (32-bit signed little-endian), without a bracket.
class GEODEX_API CTQSize
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    constexpr CTQSize() : cx(0), cy(0) {}
    constexpr CTQSize(int width, int height) : cx(width), cy(height) {}

    void SetSize(int width, int height)
    {
        cx = width;
        cy = height;
    }

    bool operator==(const CTQSize& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const CTQSize& s) const { return !(*this == s); }

    void Serialize(CTQDataStream& s);

    int cx;
    int cy;
};
