#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/GameTime/CTQGameTime.h>
#include <Framekit/GameTime/CTQGameTimeSpan.h>
#include <Framekit/ObjectModel/CTQObject.h>

#include <cstdint>

// Advances a game date from real time, at a settable number of real
// milliseconds per game day. Real time is CTimer::GetCurTimeInMs(), so a game
// or a test that installs its own time source drives the clock.
//
// A clock is made stopped at 1 January 1800 with 10000 ms per game day; the
// game calls Start() and then Update() once per frame.
//
// The database saves it whole (mode Serialize | Volatile):
//     [CTQObject part in its bracket][date in its bracket][time difference in
//     its bracket] float ms per day, uint32 last tick, bool stopped
// Loading a running clock restarts its count from the moment of loading, since
// a millisecond counter from another run means nothing in this one.
class FRAMEKIT_API CTQGameclock : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQGameclock)

    static constexpr float kDefaultMilliSecondsPerDay = 10000.0f;
    // The most real time AddTime may hold back for (or take from) the next
    // Update: the difference between two ticks is read as a signed 32-bit number.
    static constexpr float kMaxAddTimeMs = 1073741824.0f; // 2^30 ms, about 12 days

    CTQGameclock();

    // Runs from now; the time while stopped is not counted.
    void Start();
    void Stop();
    bool IsRunning() const { return !m_bStopped; }
    // When running: adds the real time since the last Start or Update, in game
    // days, to the date; that amount is the time difference. When stopped:
    // nothing (the time difference keeps its last value). The real time is the
    // tick difference read as a signed 32-bit number, so that AddTime may take
    // time back; a game updates far more often than every 24 days.
    void Update();
    // Moves the last tick back by ms (truncated to whole milliseconds), so the
    // next Update counts that much more real time; a negative ms counts less,
    // and may take the date back. The real time held back or taken is kept
    // within kMaxAddTimeMs either way; a non-finite ms is refused.
    void AddTime(float ms);
    void SetTime(CTQGameTime& time);
    const CTQGameTime& GetTime() const { return m_oTime; }
    const CTQGameTimeSpan& GetTimeDifference() const { return m_oTimeDifference; }
    float GameDaysToRealTime(float days) const;
    float RealTimeToGameDays(float ms) const;
    float GetMilliSecondsPerDay() const { return m_fMilliSecondsPerDay; }

    // "StartDay", "StartMonth", "StartYear" (integers; an absent one keeps the
    // clock's current value; a date off the calendar is refused) and
    // "MilliSecondsPerDay" (float; only a finite value above 0 is taken). A
    // missing resource leaves the clock as it is. Always true.
    bool InitData(std::int32_t resourceId) override;
    void Serialize(CTQDataStream& s) override;
    std::int32_t GetSerializationMode() const override;

private:
    // False (and a diagnostic) for a rate that is not a finite number above 0:
    // the clock divides by it every Update.
    bool SetMilliSecondsPerDay(float ms, const char* source);

    CTQGameTime m_oTime;
    CTQGameTimeSpan m_oTimeDifference;
    float m_fMilliSecondsPerDay = kDefaultMilliSecondsPerDay;
    std::uint32_t m_nLastTick = 0;
    bool m_bStopped = true;
};
