#include <Plinth/Sync.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

// Invariant: depth is 0 exactly when no thread owns the mutex; owner is then the
// default id.
struct sTQSyncMutex
{
    std::mutex guard;
    std::condition_variable released;
    std::thread::id owner;
    std::uint32_t depth = 0;
};

struct sTQSyncEvent
{
    std::mutex guard;
    std::condition_variable signalled;
    bool manualReset = false;
    bool isSignalled = false;
};

namespace
{
std::atomic<int> g_nFailingCreations{0};

// Creation failure is a result, not an exception.
template <class T>
T* NewOrNull()
{
    try
    {
        return new T;
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

// Consumes one pending failure, if any.
bool CreationShouldFail()
{
    int pending = g_nFailingCreations.load();
    while (pending > 0)
        if (g_nFailingCreations.compare_exchange_weak(pending, pending - 1))
            return true;
    return false;
}
} // namespace

void SYNC_FailNextCreations(int count)
{
    g_nFailingCreations.store(count > 0 ? count : 0);
}

TQMutexHandle SYNC_CreateMutex()
{
    if (CreationShouldFail())
        return nullptr;
    return NewOrNull<sTQSyncMutex>();
}

void SYNC_DestroyMutex(TQMutexHandle mutex)
{
    delete mutex;
}

bool SYNC_LockMutex(TQMutexHandle mutex)
{
    if (!mutex)
        return false;
    std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex->guard);
    if (mutex->depth > 0 && mutex->owner == self)
    {
        ++mutex->depth;
        return true;
    }
    mutex->released.wait(lock, [mutex] { return mutex->depth == 0; });
    mutex->owner = self;
    mutex->depth = 1;
    return true;
}

bool SYNC_UnlockMutex(TQMutexHandle mutex)
{
    if (!mutex)
        return false;
    std::unique_lock<std::mutex> lock(mutex->guard);
    if (mutex->depth == 0 || mutex->owner != std::this_thread::get_id())
        return false;
    if (--mutex->depth > 0)
        return true;
    mutex->owner = std::thread::id();
    // Notified under the lock: once it is released, the thread that takes the
    // mutex next may also destroy it.
    mutex->released.notify_one();
    return true;
}

TQEventHandle SYNC_CreateEvent(bool manualReset, bool initiallySignalled)
{
    if (CreationShouldFail())
        return nullptr;
    sTQSyncEvent* event = NewOrNull<sTQSyncEvent>();
    if (event)
    {
        event->manualReset = manualReset;
        event->isSignalled = initiallySignalled;
    }
    return event;
}

void SYNC_DestroyEvent(TQEventHandle event)
{
    delete event;
}

bool SYNC_SignalEvent(TQEventHandle event)
{
    if (!event)
        return false;
    // Notified under the lock, since a released waiter may destroy the event.
    std::lock_guard<std::mutex> lock(event->guard);
    event->isSignalled = true;
    if (event->manualReset)
        event->signalled.notify_all();
    else
        event->signalled.notify_one();
    return true;
}

bool SYNC_ResetEvent(TQEventHandle event)
{
    if (!event)
        return false;
    std::lock_guard<std::mutex> lock(event->guard);
    event->isSignalled = false;
    return true;
}

bool SYNC_TimedWaitEvent(TQEventHandle event, std::uint32_t milliseconds)
{
    if (!event)
        return false;
    std::unique_lock<std::mutex> lock(event->guard);
    auto isSignalled = [event] { return event->isSignalled; };
    if (milliseconds == kSyncWaitForever)
        event->signalled.wait(lock, isSignalled);
    else if (!event->signalled.wait_for(lock, std::chrono::milliseconds(milliseconds), isSignalled))
        return false;
    if (!event->manualReset)
        event->isSignalled = false;
    return true;
}
