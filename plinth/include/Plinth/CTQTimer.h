#pragma once

#include <Plinth/PlinthExport.h>

#include <atomic>

// The shared frame timer. The game calls TQGetTimer()->Update() once per frame,
// which latches the current time; everything that reads GetTime() during the
// frame then sees the same instant. GetTimeDirect() reads the time source each
// time it is called. Before the first Update() (and after Reset()) GetTime()
// returns GetTimeDirect().
class PLINTH_API CTQTimer
{
public:
    CTQTimer() = default;
    CTQTimer(const CTQTimer&) = delete;
    CTQTimer& operator=(const CTQTimer&) = delete;

    // Seconds, the frame time latched by the last Update().
    double GetTime() const;
    // Seconds, now.
    double GetTimeDirect() const;
    void Update();
    // Forgets the latched time.
    void Reset();

private:
    std::atomic<double> m_fFrameTime{0.0};
    std::atomic<bool> m_bLatched{false};
};

PLINTH_API CTQTimer* TQGetTimer();
