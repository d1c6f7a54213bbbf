#pragma once

#include <Plinth/PlinthExport.h>

#include <cstdint>

// Mutexes and events behind opaque handles. Every operation accepts a null
// handle and does nothing with it (the lock and wait calls then report false),
// so a wrapper whose creation failed can carry on.

struct sTQSyncMutex;
struct sTQSyncEvent;
using TQMutexHandle = sTQSyncMutex*;
using TQEventHandle = sTQSyncEvent*;

// A wait of this many milliseconds has no limit.
inline constexpr std::uint32_t kSyncWaitForever = 0xFFFFFFFFu;

// A mutex may be locked again by the thread that holds it; each lock needs its
// own unlock. Unlocking a mutex the calling thread does not hold returns false
// and changes nothing. Null when the mutex cannot be created.
PLINTH_API TQMutexHandle SYNC_CreateMutex();
PLINTH_API void SYNC_DestroyMutex(TQMutexHandle mutex);
PLINTH_API bool SYNC_LockMutex(TQMutexHandle mutex);
PLINTH_API bool SYNC_UnlockMutex(TQMutexHandle mutex);

// A manual-reset event stays signalled, releasing every waiter, until it is
// reset; an automatic one releases a single waiter and resets itself as it
// does. Null when the event cannot be created.
PLINTH_API TQEventHandle SYNC_CreateEvent(bool manualReset, bool initiallySignalled);
PLINTH_API void SYNC_DestroyEvent(TQEventHandle event);
PLINTH_API bool SYNC_SignalEvent(TQEventHandle event);
PLINTH_API bool SYNC_ResetEvent(TQEventHandle event);
// Waits until the event is signalled or milliseconds have passed (0 only looks);
// true when it was signalled. The wait is in real time, not on the replaceable
// time source, because it is the calling thread that is held.
PLINTH_API bool SYNC_TimedWaitEvent(TQEventHandle event, std::uint32_t milliseconds);

// Test hook: the next count creations of a mutex or an event fail and return
// null, so that the callers' failure paths can be exercised. 0 cancels what is
// left of an earlier request.
PLINTH_API void SYNC_FailNextCreations(int count);
