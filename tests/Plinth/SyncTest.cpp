#include "CapturingLogSink.h"

#include <Plinth/CTQCriticalSection.h>
#include <Plinth/CTQEvent.h>
#include <Plinth/CTQMutex.h>
#include <Plinth/CTQScopedLock.h>
#include <Plinth/Sync.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// Leaves no pending failures behind for the next test.
class SyncTest : public testing::Test
{
protected:
    void TearDown() override { SYNC_FailNextCreations(0); }
};

TEST_F(SyncTest, MutexCreationFailureLogsTheExactMessageAndCarriesOn)
{
    CapturingLogSink sink;
    SYNC_FailNextCreations(1);
    CTQMutex mutex;

    std::vector<CapturingLogSink::Entry> entries = sink.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, eTQLogKind::Log);
    EXPECT_EQ(entries[0].caption, "Ironline Founder");
    EXPECT_EQ(entries[0].text, "CTQMutex::CTQMutex(): SYNC_CreateMutex() failed!");
    EXPECT_FALSE(mutex.IsValid());
    // Without a handle locking is a no-op rather than a crash.
    mutex.Lock();
    mutex.Lock();
    mutex.Unlock();
    CTQScopedLock<CTQMutex> scoped(mutex);
}

TEST_F(SyncTest, EventCreationFailureLogsTheExactMessageAndNeverWaits)
{
    CapturingLogSink sink;
    SYNC_FailNextCreations(1);
    CTQEvent event(true, true);

    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"CTQEvent::CTQEvent(): SYNC_CreateEvent() failed!"}));
    EXPECT_FALSE(event.IsValid());
    event.Signal();
    EXPECT_FALSE(event.Wait(kSyncWaitForever));
    event.Reset();
}

TEST_F(SyncTest, FailureHookFailsExactlyTheRequestedNumberOfCreations)
{
    CapturingLogSink sink;
    SYNC_FailNextCreations(2);
    CTQMutex first;
    CTQEvent second;
    CTQMutex third;
    EXPECT_FALSE(first.IsValid());
    EXPECT_FALSE(second.IsValid());
    EXPECT_TRUE(third.IsValid());
    EXPECT_EQ(sink.Texts().size(), 2u);

    SYNC_FailNextCreations(3);
    SYNC_FailNextCreations(0);
    TQMutexHandle handle = SYNC_CreateMutex();
    EXPECT_NE(handle, nullptr) << "0 cancels earlier requests";
    SYNC_DestroyMutex(handle);
}

TEST_F(SyncTest, NullHandlesAreRefusedQuietly)
{
    EXPECT_FALSE(SYNC_LockMutex(nullptr));
    EXPECT_FALSE(SYNC_UnlockMutex(nullptr));
    SYNC_DestroyMutex(nullptr);
    EXPECT_FALSE(SYNC_SignalEvent(nullptr));
    EXPECT_FALSE(SYNC_ResetEvent(nullptr));
    EXPECT_FALSE(SYNC_TimedWaitEvent(nullptr, 0));
    SYNC_DestroyEvent(nullptr);
}

TEST_F(SyncTest, MutexIsReentrantAndCountsItsLocks)
{
    TQMutexHandle mutex = SYNC_CreateMutex();
    ASSERT_NE(mutex, nullptr);
    EXPECT_TRUE(SYNC_LockMutex(mutex));
    EXPECT_TRUE(SYNC_LockMutex(mutex));
    EXPECT_TRUE(SYNC_UnlockMutex(mutex));
    EXPECT_TRUE(SYNC_UnlockMutex(mutex));
    EXPECT_FALSE(SYNC_UnlockMutex(mutex)) << "one unlock more than locks";
    SYNC_DestroyMutex(mutex);
}

TEST_F(SyncTest, MutexCannotBeUnlockedByAThreadThatDoesNotHoldIt)
{
    TQMutexHandle mutex = SYNC_CreateMutex();
    ASSERT_TRUE(SYNC_LockMutex(mutex));
    bool unlockedByOther = true;
    std::thread other([&] { unlockedByOther = SYNC_UnlockMutex(mutex); });
    other.join();
    EXPECT_FALSE(unlockedByOther);
    EXPECT_TRUE(SYNC_UnlockMutex(mutex)) << "still held by its owner";
    SYNC_DestroyMutex(mutex);
}

TEST_F(SyncTest, MutexHeldByOneThreadBlocksAnotherUntilReleased)
{
    CTQMutex mutex;
    CTQEvent started;
    std::atomic<bool> acquired{false};
    mutex.Lock();
    std::thread other([&] {
        started.Signal();
        mutex.Lock();
        acquired = true;
        mutex.Unlock();
    });
    ASSERT_TRUE(started.Wait(kSyncWaitForever));
    EXPECT_FALSE(acquired.load());
    mutex.Unlock();
    other.join();
    EXPECT_TRUE(acquired.load());
}

// Unguarded, the two threads' read-modify-write steps interleave and lose counts.
template <class TLock>
int CountUnderLock(TLock& lock)
{
    constexpr int kPerThread = 20000;
    int counter = 0;
    auto work = [&] {
        for (int i = 0; i < kPerThread; ++i)
        {
            CTQScopedLock<TLock> scoped(lock);
            counter = counter + 1;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    return counter;
}

TEST_F(SyncTest, ScopedLocksKeepTwoThreadsCountsExact)
{
    CTQMutex mutex;
    CTQCriticalSection section;
    EXPECT_EQ(CountUnderLock(mutex), 40000);
    EXPECT_EQ(CountUnderLock(section), 40000);
}

TEST_F(SyncTest, CriticalSectionIsReentrantOnOneThreadAndExcludesOthers)
{
    CTQCriticalSection section;
    auto otherThreadCanEnter = [&] {
        bool entered = false;
        std::thread other([&] {
            entered = section.TryEnter();
            if (entered)
                section.Leave();
        });
        other.join();
        return entered;
    };

    section.Enter();
    section.Enter(); // would deadlock if the section were not re-entrant
    EXPECT_FALSE(otherThreadCanEnter());
    section.Leave();
    EXPECT_FALSE(otherThreadCanEnter()) << "still held once";
    section.Leave();
    EXPECT_TRUE(otherThreadCanEnter());
}

TEST_F(SyncTest, AlreadySignalledEventPassesAZeroTimeout)
{
    CTQEvent automatic(false, true);
    EXPECT_TRUE(automatic.Wait(0));
    EXPECT_FALSE(automatic.Wait(0)) << "an automatic event resets as it releases a wait";
    automatic.Signal();
    EXPECT_TRUE(automatic.Wait(0));

    CTQEvent manual(true, true);
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0)) << "a manual event stays signalled";
    manual.Reset();
    EXPECT_FALSE(manual.Wait(0));
}

TEST_F(SyncTest, EventSignalledFromAnotherThreadReleasesAWaiter)
{
    CTQEvent ready;
    CTQEvent done;
    bool waited = false;
    std::thread waiter([&] {
        ready.Signal();
        waited = done.Wait(kSyncWaitForever);
    });
    ASSERT_TRUE(ready.Wait(kSyncWaitForever));
    done.Signal();
    waiter.join();
    EXPECT_TRUE(waited);
}

TEST_F(SyncTest, ManualEventReleasesEveryWaiter)
{
    TQEventHandle gate = SYNC_CreateEvent(true, false);
    std::atomic<int> released{0};
    std::thread a([&] { released += SYNC_TimedWaitEvent(gate, kSyncWaitForever) ? 1 : 0; });
    std::thread b([&] { released += SYNC_TimedWaitEvent(gate, kSyncWaitForever) ? 1 : 0; });
    EXPECT_TRUE(SYNC_SignalEvent(gate));
    a.join();
    b.join();
    EXPECT_EQ(released.load(), 2);
    SYNC_DestroyEvent(gate);
}
} // namespace
