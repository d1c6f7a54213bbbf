#include <Geodex/CTQSize.h>

#include <Plinth/CTQDataStream.h>

#include <cstdint>

static_assert(sizeof(int) == sizeof(std::int32_t), "sizes are stored as 32-bit integers");

int CTQSize::_m_nDataFormatVersion = 0x100;

void CTQSize::Serialize(CTQDataStream& s)
{
    s.Serialize(cx);
    s.Serialize(cy);
}
