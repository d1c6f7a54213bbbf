#include <Framekit/Input/CTQInputModifierQueue.h>

#include "InputTestSupport.h"
#include "Support/StreamBytes.h"

#include <Plinth/CTQDataStream.h>

namespace
{
using TestSupport::BytesOf;
using CTQInputModifierQueueTest = InputTest;

std::vector<std::int32_t> CalledIds()
{
    std::vector<std::int32_t> ids;
    for (const sModifierCall& call : CTestModifier::s_aCalls)
        ids.push_back(call.nModifierId);
    return ids;
}

void Load(CTQInputModifierQueue& queue, const std::vector<std::uint8_t>& bytes, bool expectFailed = false)
{
    EXPECT_EQ(!TestSupport::Load(queue, bytes), expectFailed);
}

// Priority 5 modifier 3, priority -2 modifier 9, busy.
const std::vector<std::uint8_t> kStoredBusyQueue = {
    0x4C, 0x02, 0x00, 0x00, 0x00,                   // marker, count 2
    0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, // entry bracket
    0x05, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, //   priority 5, modifier 3
    0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, // entry bracket
    0xFE, 0xFF, 0xFF, 0xFF, 0x09, 0x00, 0x00, 0x00, //   priority -2, modifier 9
    0x01,                                           // busy
};
} // namespace

TEST_F(CTQInputModifierQueueTest, ModifiersAreCalledByPriorityHighestFirst)
{
    CTQInputModifierQueue queue;
    const std::int32_t low = NewModifier(), high = NewModifier(), middle = NewModifier();
    queue.InstallModifier(1, low);
    queue.InstallModifier(10, high);
    queue.InstallModifier(5, middle);
    EXPECT_TRUE(queue.Process(eModifierServerPreQueue, 7));
    EXPECT_EQ(CalledIds(), (std::vector<std::int32_t>{high, middle, low}));
    EXPECT_EQ(CTestModifier::s_aCalls[0], (sModifierCall{high, eModifierServerPreQueue, 7}));
}

TEST_F(CTQInputModifierQueueTest, ARefusalDoesNotStopTheLaterModifiers)
{
    CTQInputModifierQueue queue;
    CTestModifier* refuser = nullptr;
    queue.InstallModifier(2, NewModifier(&refuser));
    const std::int32_t later = NewModifier();
    queue.InstallModifier(1, later);
    refuser->m_fnAction = [](eModifierProcessingState, std::int32_t, CTQModifierDataTransport& t) {
        t.SetResult(eModifierResultDiscard);
        t.AddParam(42);
    };
    std::int32_t seenParam = 0;
    CTestModifier* reader = nullptr;
    queue.InstallModifier(0, NewModifier(&reader));
    reader->m_fnAction = [&seenParam](eModifierProcessingState, std::int32_t, CTQModifierDataTransport& t) {
        seenParam = t.GetNumParams() == 1 ? t[0].GetInt() : -1;
    };
    EXPECT_FALSE(queue.Process(eModifierDevicePreQueue, 1));
    EXPECT_EQ(CTestModifier::s_aCalls.size(), 3u);
    EXPECT_EQ(seenParam, 42);
}

TEST_F(CTQInputModifierQueueTest, StopModeEndsThePassAndTheResultStillDecides)
{
    CTQInputModifierQueue queue;
    CTestModifier* stopper = nullptr;
    const std::int32_t stopperId = NewModifier(&stopper);
    queue.InstallModifier(2, stopperId);
    queue.InstallModifier(1, NewModifier());
    stopper->m_fnAction = [](eModifierProcessingState, std::int32_t, CTQModifierDataTransport& t) {
        t.SetTransportMode(eDataTransportStop);
    };
    EXPECT_TRUE(queue.Process(eModifierDevicePreQueue, 1));
    EXPECT_EQ(CalledIds(), std::vector<std::int32_t>{stopperId});
}

TEST_F(CTQInputModifierQueueTest, AnEmptyQueueAcceptsAndStaleOrWrongTypedIdsAreSkipped)
{
    CTQInputModifierQueue queue;
    EXPECT_TRUE(queue.Process(eModifierServerTrigger, -1));
    queue.InstallModifier(3, 99999);             // no such object
    queue.InstallModifier(2, Mouse().GetId());   // not a modifier
    const std::int32_t real = NewModifier();
    queue.InstallModifier(1, real);
    EXPECT_TRUE(queue.Process(eModifierServerTrigger, -1));
    EXPECT_EQ(CalledIds(), std::vector<std::int32_t>{real});
}

TEST_F(CTQInputModifierQueueTest, InstalledTwiceIsCalledTwiceAndUninstallRemovesOneEntry)
{
    CTQInputModifierQueue queue;
    const std::int32_t id = NewModifier();
    queue.InstallModifier(1, id);
    queue.InstallModifier(1, id);
    queue.UninstallModifier(12345);
    queue.Process(eModifierServerTrigger, -1);
    EXPECT_EQ(CalledIds(), (std::vector<std::int32_t>{id, id}));
    queue.UninstallModifier(id);
    EXPECT_EQ(queue.GetNumModifiers(), 1);
}

TEST_F(CTQInputModifierQueueTest, ChangesDuringAPassTakeEffectSafely)
{
    CTQInputModifierQueue queue;
    CTestModifier* first = nullptr;
    const std::int32_t firstId = NewModifier(&first);
    const std::int32_t second = NewModifier();
    const std::int32_t added = NewModifier();
    queue.InstallModifier(3, firstId);
    queue.InstallModifier(2, second);
    first->m_fnAction = [&](eModifierProcessingState, std::int32_t, CTQModifierDataTransport&) {
        queue.UninstallModifier(second);
        queue.UninstallModifier(firstId);
        for (int i = 0; i < 64; ++i) // enough to move the entries elsewhere
            queue.InstallModifier(1, added);
    };
    queue.Process(eModifierServerTrigger, -1);
    EXPECT_EQ(CalledIds(), std::vector<std::int32_t>{firstId});
    CTestModifier::s_aCalls.clear();
    queue.Process(eModifierServerTrigger, -1);
    EXPECT_EQ(CTestModifier::s_aCalls.size(), 64u);
}

TEST_F(CTQInputModifierQueueTest, ANestedPassLeavesTheQueueBusyUntilTheOuterEnds)
{
    CTQInputModifierQueue queue;
    CTestModifier* nester = nullptr;
    queue.InstallModifier(1, NewModifier(&nester));
    std::vector<bool> busyAfterInner;
    nester->m_fnAction = [&](eModifierProcessingState state, std::int32_t, CTQModifierDataTransport&) {
        if (state != eModifierDevicePreQueue)
            return;
        queue.Process(eModifierDevicePostQueue, 1);
        busyAfterInner.push_back(queue.IsBusyWithProcessing());
    };
    queue.Process(eModifierDevicePreQueue, 1);
    EXPECT_EQ(busyAfterInner, std::vector<bool>{true});
    EXPECT_FALSE(queue.IsBusyWithProcessing());
}

TEST_F(CTQInputModifierQueueTest, StoredFormIsMarkerCountEntriesAndBusyByte)
{
    CTQInputModifierQueue empty;
    EXPECT_EQ(TestSupport::Store(empty), (std::vector<std::uint8_t>{0x4C, 0, 0, 0, 0, 0}));

    // Stored from inside a pass, the queue is busy.
    CTQInputModifierQueue queue;
    CTestModifier* storer = nullptr;
    const std::int32_t storerId = NewModifier(&storer);
    ASSERT_EQ(storerId, 3); // the fixture's devices are objects 0 to 2
    queue.InstallModifier(-2, 9);
    queue.InstallModifier(5, storerId);
    CTQDataStream stored(CTQDataStream::eStoring);
    storer->m_fnAction = [&](eModifierProcessingState, std::int32_t, CTQModifierDataTransport&) {
        queue.Serialize(stored);
    };
    queue.Process(eModifierServerTrigger, -1);
    EXPECT_EQ(BytesOf(stored), kStoredBusyQueue);
}

TEST_F(CTQInputModifierQueueTest, ALoadedQueueIsIdleAndInPriorityOrder)
{
    std::vector<std::uint8_t> bytes = kStoredBusyQueue;
    // Priority 5 becomes -16: now below the other entry.
    bytes[13] = 0xF0;
    bytes[14] = bytes[15] = bytes[16] = 0xFF;
    CTQInputModifierQueue queue;
    Load(queue, bytes);
    EXPECT_FALSE(queue.IsBusyWithProcessing());
    EXPECT_EQ(queue.GetEntries(), (std::vector<sInputModifierEntry>{{-2, 9}, {-16, 3}}));
}

TEST_F(CTQInputModifierQueueTest, LoadingWithoutTheMarkerOrWithAnImpossibleCountLeavesNoEntries)
{
    CTQInputModifierQueue queue;
    queue.InstallModifier(1, 1);
    Load(queue, {0x00, 0x00});
    EXPECT_EQ(queue.GetNumModifiers(), 0);

    queue.InstallModifier(1, 1);
    Load(queue, {0x4C, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}, true);
    EXPECT_EQ(queue.GetNumModifiers(), 0);
    Load(queue, {0x4C, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, true);
    EXPECT_EQ(queue.GetNumModifiers(), 0);
}
