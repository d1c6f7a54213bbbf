#pragma once

#include <Geodex/CTQGeomAlignedBBox3d.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>
#include <Geodex/GeodexExport.h>

class CTQDataStream;

// A box with its own orientation: an axis-aligned box in local coordinates
// (the local box) together with the coordinate system that carries it into the
// world (an affine matrix whose columns 1 to 3 are the local axes and column 4
// the local origin). This is how a visual's own bounds follow its world matrix:
// the oriented box keeps the exact shape, its axis-aligned hull serves culling.
//
// A new oriented box has the identity as coordinate system and an empty local box.
//
// Serialised as the coordinate system (16 floats row by row, as CTQMatrix44),
// then the local box (as CTQGeomAlignedBBox3d), without a bracket of its own.
class GEODEX_API CTQGeomOrientedBBox3d
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    CTQGeomOrientedBBox3d() = default;
    CTQGeomOrientedBBox3d(const CTQMatrix44& coordinateSystem, const CTQGeomAlignedBBox3d& localBox)
        : m_oCoordinateSystem(coordinateSystem), m_oLocalBox(localBox)
    {
    }
    CTQGeomOrientedBBox3d(const CTQGeomOrientedBBox3d&) = default;
    CTQGeomOrientedBBox3d& operator=(const CTQGeomOrientedBBox3d&) = default;
    virtual ~CTQGeomOrientedBBox3d() = default;

    // Takes the local box and its coordinate system, and gives the world
    // axis-aligned hull of the result in outHull (empty for an empty local box).
    virtual void SetFromAlignedBox(const CTQMatrix44& coordinateSystem, const CTQGeomAlignedBBox3d& localBox,
                                   CTQGeomAlignedBBox3d& outHull);
    void Set(const CTQMatrix44& coordinateSystem, const CTQGeomAlignedBBox3d& localBox)
    {
        m_oCoordinateSystem = coordinateSystem;
        m_oLocalBox = localBox;
    }
    // Identity coordinate system, empty local box.
    void Clear();

    void GetCoordinateSystem(CTQMatrix44& out) const { out = m_oCoordinateSystem; }
    const CTQMatrix44& GetCoordinateSystem() const { return m_oCoordinateSystem; }
    const CTQGeomAlignedBBox3d& GetLocalBox() const { return m_oLocalBox; }

    bool IsEmpty() const { return m_oLocalBox.IsEmpty(); }
    // The world position of corner i (numbered as in CTQGeomAlignedBBox3d).
    CTQVector3 GetCorner(int i) const { return m_oCoordinateSystem * m_oLocalBox.GetCorner(i); }
    CTQVector3 GetCenter() const { return m_oCoordinateSystem * m_oLocalBox.GetCenter(); }
    // The world axis-aligned box around the oriented box.
    void GetAlignedHull(CTQGeomAlignedBBox3d& out) const { m_oLocalBox.GetTransformed(m_oCoordinateSystem, out); }
    // Whether a world point lies in the box (borders count). False when the
    // coordinate system cannot be inverted.
    bool Contains(const CTQVector3& p) const;

    virtual void Serialize(CTQDataStream& s);

private:
    CTQMatrix44 m_oCoordinateSystem;
    CTQGeomAlignedBBox3d m_oLocalBox;
};
