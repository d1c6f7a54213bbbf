#include <Framekit/GameTime/CTQGameclock.h>

#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceRef.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTimer.h>
#include <Plinth/Log.h>

#include <algorithm>
#include <cmath>

TQ_IMPLEMENT_CLASS_TYPE(CTQGameclock, CTQObject, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQGameclock)

namespace
{
constexpr double kMaxPendingMs = CTQGameclock::kMaxAddTimeMs;

double ClampPending(double ms)
{
    return std::clamp(ms, -kMaxPendingMs, kMaxPendingMs);
}

// ms must be within the 32-bit range.
std::uint32_t TicksBack(double ms)
{
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(ms));
}
} // namespace

CTQGameclock::CTQGameclock() : m_oTime(1.0f, 1, 1800) {}

void CTQGameclock::Start()
{
    m_bStopped = false;
    m_nLastTick = CTimer::GetCurTimeInMs();
}

void CTQGameclock::Stop()
{
    m_bStopped = true;
}

void CTQGameclock::Update()
{
    if (m_bStopped)
        return;
    const std::uint32_t now = CTimer::GetCurTimeInMs();
    // Signed: AddTime with a negative amount may leave the last tick ahead of now.
    // The unsigned difference of the two counters is right across the wrap of
    // the 32-bit millisecond counter.
    const auto elapsed = static_cast<std::int32_t>(now - m_nLastTick);
    m_oTimeDifference = RealTimeToGameDays(static_cast<float>(elapsed));
    m_oTime += m_oTimeDifference;
    m_nLastTick = now;
}

void CTQGameclock::AddTime(float ms)
{
    if (!std::isfinite(ms))
    {
        Debug_Warning("CTQGameclock::AddTime(): %g ms is not a time", static_cast<double>(ms));
        return;
    }
    const double added = std::trunc(static_cast<double>(ms));
    if (m_bStopped)
    {
        // Start sets the last tick afresh; until then it only has to stay a number.
        m_nLastTick -= TicksBack(ClampPending(added));
        return;
    }
    // What the next Update would count, with ms added, must stay readable as a
    // signed 32-bit difference.
    const std::uint32_t now = CTimer::GetCurTimeInMs();
    const double wanted = static_cast<double>(static_cast<std::int32_t>(now - m_nLastTick)) + added;
    const double pending = ClampPending(wanted);
    if (pending != wanted)
        Debug_Warning("CTQGameclock::AddTime(): the clock cannot hold back %g ms; it holds %g",
                      wanted, pending);
    m_nLastTick = now - TicksBack(pending);
}

void CTQGameclock::SetTime(CTQGameTime& time)
{
    m_oTime = time;
}

float CTQGameclock::GameDaysToRealTime(float days) const
{
    return days * m_fMilliSecondsPerDay;
}

float CTQGameclock::RealTimeToGameDays(float ms) const
{
    return ms / m_fMilliSecondsPerDay;
}

bool CTQGameclock::InitData(std::int32_t resourceId)
{
    CTQResourceRef resource(resourceId);
    if (resource.IsValid())
    {
        float day = m_oTime.GetCalenderDay();
        int month = m_oTime.GetMonth();
        int year = m_oTime.GetYear();
        if (resource->HasAttribute("StartDay"))
            day = static_cast<float>((*resource)["StartDay"].GetInt());
        if (resource->HasAttribute("StartMonth"))
            month = (*resource)["StartMonth"].GetInt();
        if (resource->HasAttribute("StartYear"))
            year = (*resource)["StartYear"].GetInt();
        m_oTime.Set(day, month, year);
        if (resource->HasAttribute("MilliSecondsPerDay"))
            SetMilliSecondsPerDay((*resource)["MilliSecondsPerDay"].GetFloat(), "resource");
    }
    SetAssociatedResourceId(resourceId);
    return true;
}

void CTQGameclock::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQObject>(s, *this);
    TQSerializeMember(s, m_oTime);
    TQSerializeMember(s, m_oTimeDifference);
    if (s.IsStoring())
    {
        s.Write(m_fMilliSecondsPerDay);
        s.Write(m_nLastTick);
        s.Write(m_bStopped);
        return;
    }
    float msPerDay = 0.0f;
    std::uint32_t lastTick = 0;
    bool stopped = true;
    s.Read(msPerDay);
    s.Read(lastTick);
    s.Read(stopped);
    if (s.IsFailed())
        return;
    SetMilliSecondsPerDay(msPerDay, "stream");
    m_bStopped = stopped;
    // The stored tick counts in the saving run's milliseconds: a running clock
    // counts on from now instead of catching up on the difference between runs.
    m_nLastTick = stopped ? lastTick : CTimer::GetCurTimeInMs();
}

std::int32_t CTQGameclock::GetSerializationMode() const
{
    return kTQSerializationModeSerialize | kTQSerializationModeVolatile;
}

bool CTQGameclock::SetMilliSecondsPerDay(float ms, const char* source)
{
    if (!std::isfinite(ms) || ms <= 0.0f)
    {
        Debug_Warning("CTQGameclock: %g milliseconds per day from the %s is not a rate; keeping %g",
                      static_cast<double>(ms), source, static_cast<double>(m_fMilliSecondsPerDay));
        return false;
    }
    m_fMilliSecondsPerDay = ms;
    return true;
}
