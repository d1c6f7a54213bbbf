#include <Geodex/CTQGeomOrientedBBox3d.h>

#include <Plinth/CTQDataStream.h>

int CTQGeomOrientedBBox3d::_m_nDataFormatVersion = 0x100;

void CTQGeomOrientedBBox3d::SetFromAlignedBox(const CTQMatrix44& coordinateSystem,
                                              const CTQGeomAlignedBBox3d& localBox, CTQGeomAlignedBBox3d& outHull)
{
    Set(coordinateSystem, localBox);
    GetAlignedHull(outHull);
}

void CTQGeomOrientedBBox3d::Clear()
{
    m_oCoordinateSystem.SetId();
    m_oLocalBox.ClearBoundingBox();
}

bool CTQGeomOrientedBBox3d::Contains(const CTQVector3& p) const
{
    CTQMatrix44 toLocal;
    if (!m_oCoordinateSystem.GetInverse(toLocal))
        return false;
    return m_oLocalBox.Contains(toLocal * p);
}

void CTQGeomOrientedBBox3d::Serialize(CTQDataStream& s)
{
    m_oCoordinateSystem.Serialize(s);
    m_oLocalBox.Serialize(s);
}
