#pragma once

// Holds a lock for the lifetime of a scope: Lock() on construction, Unlock() on
// destruction. Works with CTQCriticalSection, CTQMutex and anything else that
// has the two operations.
template <class TLock>
class CTQScopedLock
{
public:
    explicit CTQScopedLock(TLock& lock) : m_rLock(lock) { m_rLock.Lock(); }
    ~CTQScopedLock() { m_rLock.Unlock(); }
    CTQScopedLock(const CTQScopedLock&) = delete;
    CTQScopedLock& operator=(const CTQScopedLock&) = delete;

private:
    TLock& m_rLock;
};
