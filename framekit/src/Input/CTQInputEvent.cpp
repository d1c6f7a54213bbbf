#include <Framekit/Input/CTQInputEvent.h>

#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTimer.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQInputEvent, CTQInputObject, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQInputEvent)

namespace
{
// The value field is stored once per meaning it carries.
constexpr int kValueCopies = 5;
} // namespace

CTQInputEvent::CTQInputEvent() : m_fTimeStamp(CTimer::GetCurTime()) {}

void CTQInputEvent::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQInputObject>(s, *this);
    s.Serialize(m_eType);
    s.Serialize(m_nFlags);
    s.Serialize(m_nDeviceId);
    for (int copy = 0; copy < kValueCopies; ++copy)
        s.Serialize(m_nValue);
    s.Serialize(m_fAxisValue);
    s.Serialize(m_nXPos);
    s.Serialize(m_nYPos);
    s.Serialize(m_fTimeStamp);
}
