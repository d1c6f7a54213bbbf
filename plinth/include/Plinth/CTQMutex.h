#pragma once

#include <Plinth/PlinthExport.h>
#include <Plinth/Sync.h>

// A mutex that one thread may lock several times (each Lock needs an Unlock).
// When the mutex cannot be created the failure is logged and Lock and Unlock
// do nothing, so the owner goes on unguarded rather than stopping.
class PLINTH_API CTQMutex
{
public:
    CTQMutex();
    ~CTQMutex();
    CTQMutex(const CTQMutex&) = delete;
    CTQMutex& operator=(const CTQMutex&) = delete;

    void Lock();
    void Unlock();
    bool IsValid() const { return m_hMutex != nullptr; }

private:
    TQMutexHandle m_hMutex = nullptr;
};
