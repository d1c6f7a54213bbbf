#include <Framekit/GameTime/CTQGameTimeSpan.h>

#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Plinth/CTQDataStream.h>

int CTQGameTimeSpan::_m_nDataFormatVersion = kTQDefaultDataFormatVersion;

CTQGameTimeSpan::~CTQGameTimeSpan() = default;

void CTQGameTimeSpan::Serialize(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(m_fDays);
        return;
    }
    // A value cut short reads as 0; the span keeps its own instead.
    float days = 0.0f;
    if (s.Read(days))
        m_fDays = days;
}

CTQGameTimeSpan& CTQGameTimeSpan::operator+=(const CTQGameTimeSpan& other)
{
    m_fDays += other.m_fDays;
    return *this;
}

CTQGameTimeSpan& CTQGameTimeSpan::operator+=(float days)
{
    m_fDays += days;
    return *this;
}

CTQGameTimeSpan& CTQGameTimeSpan::operator-=(const CTQGameTimeSpan& other)
{
    m_fDays -= other.m_fDays;
    return *this;
}

CTQGameTimeSpan& CTQGameTimeSpan::operator-=(float days)
{
    m_fDays -= days;
    return *this;
}

CTQGameTimeSpan CTQGameTimeSpan::operator+(const CTQGameTimeSpan& other) const
{
    return CTQGameTimeSpan(m_fDays + other.m_fDays);
}

CTQGameTimeSpan CTQGameTimeSpan::operator+(float days) const
{
    return CTQGameTimeSpan(m_fDays + days);
}

CTQGameTimeSpan CTQGameTimeSpan::operator-(const CTQGameTimeSpan& other) const
{
    return CTQGameTimeSpan(m_fDays - other.m_fDays);
}

CTQGameTimeSpan CTQGameTimeSpan::operator-(float days) const
{
    return CTQGameTimeSpan(m_fDays - days);
}
