#pragma once

#include <Plinth/PlinthExport.h>

#include <atomic>

// Where the library's clocks read the time. The default source is monotonic
// real time; a game that pauses or replays, or a test, installs another one.
// Every reading of the current time (CTimer, CTQTimer, SYS_GetTickCount) goes
// through the installed source.
class PLINTH_API ITQTimeSource
{
public:
    virtual ~ITQTimeSource();
    // Seconds on this source's scale; never decreasing for the default source.
    virtual double GetSeconds() const = 0;
};

// A clock that moves only when told, for deterministic tests and replays.
// Reads and changes may come from any thread.
class PLINTH_API CTQManualClock : public ITQTimeSource
{
public:
    explicit CTQManualClock(double seconds = 0.0) : m_fSeconds(seconds) {}

    double GetSeconds() const override { return m_fSeconds.load(); }
    void Set(double seconds) { m_fSeconds.store(seconds); }
    void Advance(double seconds);

private:
    std::atomic<double> m_fSeconds;
};

// Installs a source (null restores the default) and returns the one it
// replaces. The caller keeps ownership and keeps the source alive while it is
// installed.
PLINTH_API ITQTimeSource* TQSetTimeSource(ITQTimeSource* source);
// The installed source; never null.
PLINTH_API ITQTimeSource* TQGetTimeSource();
// The default source: std::chrono::steady_clock, in seconds since it was first used.
PLINTH_API ITQTimeSource* TQGetDefaultTimeSource();
