#include <Geodex/CTQGeomAlignedBBox3d.h>

#include <Plinth/CTQDataStream.h>

#include <cmath>

int CTQGeomAlignedBBox3d::_m_nDataFormatVersion = 0x100;

void CTQGeomAlignedBBox3d::EnsureMinimumExtent(int axes, float minExtent)
{
    int count = axes < 0 ? 0 : (axes > 3 ? 3 : axes);
    float half = minExtent * 0.5f;
    for (int i = 0; i < count; ++i)
    {
        float lo = m_vMin[i];
        float hi = m_vMax[i];
        // An empty axis (lo > hi) fails the first test, a NaN bound either.
        if (!(lo <= hi) || !(hi - lo < minExtent))
            continue;
        float centre = (lo + hi) * 0.5f;
        m_vMin[i] = centre - half;
        m_vMax[i] = centre + half;
    }
}

bool CTQGeomAlignedBBox3d::IsValid() const
{
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(m_vMin[i]) || !std::isfinite(m_vMax[i]))
            return false;
    return !IsEmpty();
}

void CTQGeomAlignedBBox3d::Serialize(CTQDataStream& s)
{
    m_vMin.Serialize(s);
    m_vMax.Serialize(s);
}
