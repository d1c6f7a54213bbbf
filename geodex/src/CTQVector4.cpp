#include <Geodex/CTQVector4.h>

#include <Plinth/CTQDataStream.h>

int CTQVector4::_m_nDataFormatVersion = 0x100;

void CTQVector4::Serialize(CTQDataStream& s)
{
    s.Serialize(x);
    s.Serialize(y);
    s.Serialize(z);
    s.Serialize(w);
}
