#include <Geodex/CTQVector2.h>

#include <Plinth/CTQDataStream.h>

int CTQVector2::_m_nDataFormatVersion = 0x100;

void CTQVector2::Serialize(CTQDataStream& s)
{
    s.Serialize(x);
    s.Serialize(y);
}
