#pragma once

#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>
#include <Geodex/GeodexExport.h>

#include <cfloat>
#include <cmath>

class CTQDataStream;

// An axis-aligned box between a minimum and a maximum corner.
//
// A cleared box is empty: its minimum is +FLT_MAX and its maximum -FLT_MAX on
// every axis, so growing it by a point or a box needs no special case (the first
// point becomes both corners) and growing another box by it changes nothing.
// A box is empty when min > max on any axis; a box of one point (min == max)
// is not empty. A new box is cleared.
//
// Corner i (0..7) takes x from the maximum when bit 0 of i is set, y when bit 1
// is set, z when bit 2 is set, and from the minimum otherwise.
//
// Serialised as min x, y, z then max x, y, z (4-byte little-endian floats),
// without a bracket of its own.
class GEODEX_API CTQGeomAlignedBBox3d
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    CTQGeomAlignedBBox3d() { ClearBoundingBox(); }
    CTQGeomAlignedBBox3d(const CTQVector3& minCorner, const CTQVector3& maxCorner)
        : m_vMin(minCorner), m_vMax(maxCorner)
    {
    }
    CTQGeomAlignedBBox3d(const CTQGeomAlignedBBox3d&) = default;
    CTQGeomAlignedBBox3d& operator=(const CTQGeomAlignedBBox3d&) = default;
    virtual ~CTQGeomAlignedBBox3d() = default;

    void ClearBoundingBox()
    {
        m_vMin = CTQVector3(FLT_MAX, FLT_MAX, FLT_MAX);
        m_vMax = CTQVector3(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    }
    void GrowBoundingBox(const CTQVector3& p)
    {
        m_vMin = CTQVector3::Min(m_vMin, p);
        m_vMax = CTQVector3::Max(m_vMax, p);
    }
    // The union; an empty box adds nothing.
    void GrowBoundingBox(const CTQGeomAlignedBBox3d& box)
    {
        m_vMin = CTQVector3::Min(m_vMin, box.m_vMin);
        m_vMax = CTQVector3::Max(m_vMax, box.m_vMax);
    }

    // Widens every one of the first `axes` axes (1: x; 2: x and y; 3: x, y and
    // z; other values are clamped to 0..3) whose extent (max - min) is below
    // minExtent to exactly minExtent, symmetrically about its centre. Flat or
    // point-like bounds thus keep a volume that culling and picking can hit,
    // while larger boxes are left alone. An empty axis stays empty, so a
    // cleared box stays cleared; a negative minExtent changes nothing.
    virtual void EnsureMinimumExtent(int axes, float minExtent);

    void Set(const CTQVector3& minCorner, const CTQVector3& maxCorner)
    {
        m_vMin = minCorner;
        m_vMax = maxCorner;
    }
    const CTQVector3& GetMin() const { return m_vMin; }
    const CTQVector3& GetMax() const { return m_vMax; }
    void SetMin(const CTQVector3& v) { m_vMin = v; }
    void SetMax(const CTQVector3& v) { m_vMax = v; }
    CTQVector3 GetCorner(int i) const
    {
        return CTQVector3((i & 1) ? m_vMax.x : m_vMin.x, (i & 2) ? m_vMax.y : m_vMin.y, (i & 4) ? m_vMax.z : m_vMin.z);
    }

    bool IsEmpty() const { return m_vMin.x > m_vMax.x || m_vMin.y > m_vMax.y || m_vMin.z > m_vMax.z; }
    // Not empty and every coordinate finite (no NaN, no infinity).
    bool IsValid() const;

    // Centre, full extent (max - min) and half extent; meaningless for an empty box.
    CTQVector3 GetCenter() const { return (m_vMin + m_vMax) * 0.5f; }
    CTQVector3 GetExtent() const { return m_vMax - m_vMin; }
    CTQVector3 GetHalfExtent() const { return (m_vMax - m_vMin) * 0.5f; }

    // Borders count: boxes that share a face intersect, a point on a face is inside.
    bool Contains(const CTQVector3& p) const
    {
        return p.x >= m_vMin.x && p.x <= m_vMax.x && p.y >= m_vMin.y && p.y <= m_vMax.y && p.z >= m_vMin.z &&
               p.z <= m_vMax.z;
    }
    bool Contains(const CTQGeomAlignedBBox3d& box) const
    {
        return !box.IsEmpty() && Contains(box.m_vMin) && Contains(box.m_vMax);
    }
    bool Intersects(const CTQGeomAlignedBBox3d& box) const
    {
        return m_vMin.x <= box.m_vMax.x && box.m_vMin.x <= m_vMax.x && m_vMin.y <= box.m_vMax.y &&
               box.m_vMin.y <= m_vMax.y && m_vMin.z <= box.m_vMax.z && box.m_vMin.z <= m_vMax.z;
    }

    // The axis-aligned box around this box carried through an affine matrix
    // (the hull of the eight moved corners, computed from centre and extent
    // without forming them). An empty box stays empty.
    void Transform(const CTQMatrix44& m) { GetTransformed(m, *this); }
    void GetTransformed(const CTQMatrix44& m, CTQGeomAlignedBBox3d& out) const;

    bool operator==(const CTQGeomAlignedBBox3d& box) const { return m_vMin == box.m_vMin && m_vMax == box.m_vMax; }
    bool operator!=(const CTQGeomAlignedBBox3d& box) const { return !(*this == box); }

    virtual void Serialize(CTQDataStream& s);

private:
    CTQVector3 m_vMin;
    CTQVector3 m_vMax;
};

// New centre = M × centre; new half extent on axis i = sum over j of
// |M(i, j)| × half extent j (Arvo's bound, exact for the hull of a box).
inline void CTQGeomAlignedBBox3d::GetTransformed(const CTQMatrix44& m, CTQGeomAlignedBBox3d& out) const
{
    if (IsEmpty())
    {
        out.ClearBoundingBox();
        return;
    }
    CTQVector3 centre = m * GetCenter();
    CTQVector3 half = GetHalfExtent();
    CTQVector3 reach(std::fabs(m(1, 1)) * half.x + std::fabs(m(1, 2)) * half.y + std::fabs(m(1, 3)) * half.z,
                     std::fabs(m(2, 1)) * half.x + std::fabs(m(2, 2)) * half.y + std::fabs(m(2, 3)) * half.z,
                     std::fabs(m(3, 1)) * half.x + std::fabs(m(3, 2)) * half.y + std::fabs(m(3, 3)) * half.z);
    out.m_vMin = centre - reach;
    out.m_vMax = centre + reach;
}
