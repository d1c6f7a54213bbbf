#include <Framekit/Input/CTQInputServer.h>

#include "InputTestSupport.h"

#include <atomic>
#include <thread>

namespace
{
using CTQInputServerThreadTest = InputTest;

constexpr std::int32_t kEventCount = 2000;
} // namespace

// A device thread feeds keys while the game thread triggers the server (whose
// modifier pass must not let a device event slip past the modifiers) and reads
// the queue under its lock, as a frame does.
TEST_F(CTQInputServerThreadTest, EventsFromAnotherThreadAreNeitherLostNorDuplicated)
{
    std::int32_t preQueueCalls = 0;
    std::int32_t postQueueCalls = 0;
    CTestModifier* counter = nullptr;
    m_pServer->InstallModifier(0, NewModifier(&counter));
    // Runs under the queue lock, on whichever thread the pass runs. The
    // trigger pass lingers, so that a device event would often arrive while it
    // runs if the pass did not hold the lock.
    counter->m_fnAction = [&](eModifierProcessingState state, std::int32_t, CTQModifierDataTransport&) {
        preQueueCalls += state == eModifierServerPreQueue;
        postQueueCalls += state == eModifierServerPostQueue;
        if (state == eModifierServerTrigger)
            for (int i = 0; i < 20; ++i)
                std::this_thread::yield();
    };
    CTQHeadlessKeyboard& keyboard = Keyboard();
    std::atomic<bool> allQueued{false};
    std::thread device([&] {
        for (std::int32_t key = 0; key < kEventCount; ++key)
            keyboard.PressKey(key);
        allQueued = true;
    });

    std::vector<std::int32_t> keys;
    bool done = false;
    while (!done)
    {
        done = allQueued.load();
        m_pServer->Trigger();
        for (const sSeenEvent& event : DrainQueue())
            keys.push_back(event.nValue);
    }
    device.join();

    std::vector<std::int32_t> expected(kEventCount);
    for (std::int32_t key = 0; key < kEventCount; ++key)
        expected[static_cast<std::size_t>(key)] = key;
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(preQueueCalls, kEventCount);
    EXPECT_EQ(postQueueCalls, kEventCount);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}
