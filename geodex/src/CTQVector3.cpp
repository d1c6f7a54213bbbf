#include <Geodex/CTQVector3.h>

#include <Plinth/CTQDataStream.h>

int CTQVector3::_m_nDataFormatVersion = 0x100;

void CTQVector3::Serialize(CTQDataStream& s)
{
    s.Serialize(x);
    s.Serialize(y);
    s.Serialize(z);
}
