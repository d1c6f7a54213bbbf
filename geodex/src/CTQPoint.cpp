#include <Geodex/CTQPoint.h>

#include <Plinth/CTQDataStream.h>

#include <cstdint>

static_assert(sizeof(int) == sizeof(std::int32_t), "points are stored as 32-bit integers");

int CTQPoint::_m_nDataFormatVersion = 0x100;

void CTQPoint::Serialize(CTQDataStream& s)
{
    s.Serialize(x);
    s.Serialize(y);
}
