#pragma once

#include <Plinth/PlinthExport.h>
#include <Plinth/Sync.h>

#include <cstdint>

// An event one thread signals and others wait for. By default it resets itself
// when a wait is released by it; a manual-reset event stays signalled until
// Reset(). When the event cannot be created the failure is logged, Signal and
// Reset do nothing and Wait returns false at once.
class PLINTH_API CTQEvent
{
public:
    explicit CTQEvent(bool manualReset = false, bool initiallySignalled = false);
    ~CTQEvent();
    CTQEvent(const CTQEvent&) = delete;
    CTQEvent& operator=(const CTQEvent&) = delete;

    void Signal();
    void Reset();
    // True when the event was signalled within milliseconds (kSyncWaitForever:
    // no limit; 0: only looks).
    bool Wait(std::uint32_t milliseconds);
    bool IsValid() const { return m_hEvent != nullptr; }

private:
    TQEventHandle m_hEvent = nullptr;
};
