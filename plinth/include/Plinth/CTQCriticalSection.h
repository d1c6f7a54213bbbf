#pragma once

#include <Plinth/PlinthExport.h>

#include <mutex>

// A lock for short stretches of code, which the thread holding it may enter
// again (each Enter needs a Leave). Only the thread that entered may leave.
// Lock and Unlock are the same operations under the names CTQScopedLock uses.
class PLINTH_API CTQCriticalSection
{
public:
    CTQCriticalSection() = default;
    CTQCriticalSection(const CTQCriticalSection&) = delete;
    CTQCriticalSection& operator=(const CTQCriticalSection&) = delete;

    void Enter();
    void Leave();
    // Enters only when no other thread holds the section.
    bool TryEnter();
    void Lock() { Enter(); }
    void Unlock() { Leave(); }

private:
    std::recursive_mutex m_oMutex;
};
