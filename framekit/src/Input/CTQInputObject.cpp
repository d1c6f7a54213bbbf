#include <Framekit/Input/CTQInputObject.h>

#include <Framekit/ObjectModel/TQSerialize.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQInputObject, CTQObject, kTQDefaultDataFormatVersion)

std::int32_t CTQInputObject::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

void CTQInputObject::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQObject>(s, *this);
    s.Serialize(m_nUserValue1);
    s.Serialize(m_nUserValue2);
}
