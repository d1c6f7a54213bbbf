#include <Plinth/CTQTimer.h>

#include <Plinth/CTimer.h>

double CTQTimer::GetTime() const
{
    // Update stores the frame time before it raises the flag, so a reader that
    // sees the flag also sees a latched time.
    if (!m_bLatched.load())
        return GetTimeDirect();
    return m_fFrameTime.load();
}

double CTQTimer::GetTimeDirect() const
{
    return CTimer::GetCurTime();
}

void CTQTimer::Update()
{
    m_fFrameTime.store(GetTimeDirect());
    m_bLatched.store(true);
}

void CTQTimer::Reset()
{
    m_bLatched.store(false);
}

CTQTimer* TQGetTimer()
{
    static CTQTimer s_timer;
    return &s_timer;
}
