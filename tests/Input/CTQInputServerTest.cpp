#include <Framekit/Input/CTQInputServer.h>

#include "InputTestSupport.h"

#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>
#include <Plinth/CTQDataStream.h>

#include <climits>
#include <cstdlib>

namespace
{
using CTQInputServerTest = InputTest;

std::vector<std::int32_t> DeviceIds(const CTQInputServer& server)
{
    std::vector<std::int32_t> ids;
    std::int32_t position = -1;
    std::int32_t deviceId = -1;
    for (bool more = server.GetFirstDevice(position, deviceId); more; more = server.GetNextDevice(position, deviceId))
        ids.push_back(deviceId);
    return ids;
}

std::vector<eModifierProcessingState> States(const std::vector<sModifierCall>& calls)
{
    std::vector<eModifierProcessingState> states;
    for (const sModifierCall& call : calls)
        states.push_back(call.eState);
    return states;
}

struct CHeadlessInfix : ITQDeviceClassInfixSource
{
    const char* GetDeviceClassInfix() const override { return "Headless"; }
};
} // namespace

// Ids are process-wide, so only a fresh process shows where they start.
TEST(CTQInputServerIds, FirstEventIdAndFirstDeviceIdAreZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            CTQObjectDatabase database;
            CTQHeadlessInputServer server;
            const bool ok = server.NewEvent() == 0 && server.CreateDevices() &&
                            server.GetMouse()->GetDeviceId() == 0 && server.GetKeyboard()->GetDeviceId() == 1;
            server.DestroyDevices();
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CTQInputServerTest, DevicesGetAscendingIdsAndAreCountedByType)
{
    const std::int32_t mouse = Mouse().GetDeviceId();
    EXPECT_EQ(Keyboard().GetDeviceId(), mouse + 1);
    EXPECT_EQ(Joystick().GetDeviceId(), mouse + 2);
    EXPECT_EQ(DeviceIds(*m_pServer), (std::vector<std::int32_t>{mouse, mouse + 1, mouse + 2}));
    EXPECT_EQ(m_pServer->GetNumDevices(), 3);
    EXPECT_EQ(m_pServer->GetNumDevicesOfType(CTQInputDevice::GetClassType()), 3);
    EXPECT_EQ(m_pServer->GetNumDevicesOfType(CTQMouse::GetClassType()), 1);
    EXPECT_EQ(m_pServer->GetNumDevicesOfType(CTQInputServer::GetClassType()), 0);
}

TEST_F(CTQInputServerTest, AddDeviceRefusesMissingNonDeviceObjectsAndNegativeIds)
{
    const std::int32_t modifier = NewModifier();
    EXPECT_FALSE(m_pServer->AddDevice(500, 99999));
    EXPECT_FALSE(m_pServer->AddDevice(501, modifier));
    EXPECT_FALSE(m_pServer->AddDevice(-4, Mouse().GetId()));
    EXPECT_EQ(m_pServer->GetNumDevices(), 3);
    EXPECT_EQ(m_pServer->QueryDevice(500), nullptr);
    EXPECT_EQ(m_pServer->QueryDevice(501), nullptr);
}

TEST_F(CTQInputServerTest, QueryAndReleaseDeviceLeaveTheReferenceCountAsItWas)
{
    const std::int32_t id = Mouse().GetDeviceId();
    const std::int32_t before = Mouse().GetRefCount();
    CTQInputDevice* device = m_pServer->QueryDevice(id);
    ASSERT_EQ(device, &Mouse());
    EXPECT_EQ(Mouse().GetRefCount(), before + 1);
    m_pServer->ReleaseDevice(id);
    EXPECT_EQ(Mouse().GetRefCount(), before);
    EXPECT_EQ(m_pServer->GetNumDevices(), 3);
}

TEST_F(CTQInputServerTest, EventIdsCountUpAndAreNeverReused)
{
    const std::int32_t first = m_pServer->NewEvent();
    m_pServer->ReleaseEvent(first);
    const std::int32_t second = m_pServer->NewEvent();
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(m_pServer->QueryEvent(first), nullptr);
    CTQInputEvent* event = m_pServer->QueryEvent(second);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->GetId(), second);
    m_pServer->ReleaseEvent(second);
    m_pServer->ReleaseEvent(second);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, QueueEventIgnoresMinusOneAndUnknownIdsWithoutRunningModifiers)
{
    m_pServer->InstallModifier(1, NewModifier());
    EXPECT_FALSE(m_pServer->QueueEvent(-1));
    EXPECT_FALSE(m_pServer->QueueEvent(123456));
    EXPECT_TRUE(CTestModifier::s_aCalls.empty());
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 0);
}

TEST_F(CTQInputServerTest, RemovingDuringTheWalkReachesEveryOtherEntryOnce)
{
    for (std::int32_t key = 1; key <= 4; ++key)
        Keyboard().PressKey(key);
    const std::vector<std::int32_t> ids = QueuedIds();
    // Remove the first and the third entries while walking.
    std::vector<std::int32_t> visited;
    std::int32_t index = 0;
    std::int32_t eventId = -1;
    for (bool more = m_pServer->GetFirstEventInQueue(index, eventId); more;
         more = m_pServer->GetNextEventInQueue(index, eventId))
    {
        visited.push_back(eventId);
        if (eventId == ids[0] || eventId == ids[2])
        {
            const std::int32_t at = index;
            ASSERT_TRUE(m_pServer->RemoveEventFromQueue(index));
            EXPECT_EQ(index, at - 1);
        }
    }
    EXPECT_EQ(visited, ids);
    EXPECT_EQ(QueuedIds(), (std::vector<std::int32_t>{ids[1], ids[3]}));
    // The queue's references went with the entries.
    EXPECT_EQ(m_pServer->GetNumEvents(), 2);
    EXPECT_EQ(m_pServer->QueryEvent(ids[0]), nullptr);
}

TEST_F(CTQInputServerTest, OutOfRangeQueueIndexesAreRefused)
{
    Keyboard().PressKey(eKeyA);
    std::int32_t eventId = 0;
    for (std::int32_t bad : {1, 5, -2, INT_MIN, INT_MAX})
    {
        std::int32_t index = bad;
        EXPECT_FALSE(m_pServer->GetNextEventInQueue(index, eventId)) << bad;
        EXPECT_EQ(index, bad);
    }
    for (std::int32_t bad : {-1, 1, INT_MIN, INT_MAX})
    {
        std::int32_t index = bad;
        EXPECT_FALSE(m_pServer->RemoveEventFromQueue(index)) << bad;
    }
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 1);
}

TEST_F(CTQInputServerTest, FlushReleasesEveryQueuedEvent)
{
    Keyboard().TapKey(eKeyA);
    Mouse().Click(eMouseButtonLeft, 3, 4);
    m_pServer->FlushEventQueue();
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 0);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, WithoutModifiersEveryFedEventReachesTheQueue)
{
    Keyboard().PressKey(eKeyA);
    Mouse().MoveTo(10, 20);
    Joystick().PushAxis(1, -0.5f);
    const std::vector<sSeenEvent> expected = {
        {eInputEventKeyDown, Keyboard().GetDeviceId(), eKeyA, 0, 0, 0.0f, 0},
        {eInputEventMouseMove, Mouse().GetDeviceId(), 0, 10, 20, 0.0f, 0},
        {eInputEventAxis, Joystick().GetDeviceId(), 1, 0, 0, -0.5f, 0},
    };
    EXPECT_EQ(DrainQueue(), expected);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, AnEventPassesDeviceAndServerModifiersInWayOrder)
{
    const std::int32_t onDevice = NewModifier();
    const std::int32_t onServer = NewModifier();
    Keyboard().InstallModifier(0, onDevice);
    m_pServer->InstallModifier(0, onServer);
    Keyboard().PressKey(eKeyA);
    const std::int32_t eventId = QueuedIds().at(0);
    const std::vector<sModifierCall> expected = {
        {onDevice, eModifierDevicePreQueue, eventId},
        {onServer, eModifierServerPreQueue, eventId},
        {onServer, eModifierServerPostQueue, eventId},
        {onDevice, eModifierDevicePostQueue, eventId},
    };
    EXPECT_EQ(CTestModifier::s_aCalls, expected);

    CTestModifier::s_aCalls.clear();
    m_pServer->Trigger();
    const std::vector<sModifierCall> triggered = {
        {onDevice, eModifierDeviceTrigger, -1},
        {onServer, eModifierServerTrigger, -1},
    };
    EXPECT_EQ(CTestModifier::s_aCalls, triggered);
}

TEST_F(CTQInputServerTest, AnEventRefusedOnTheDeviceIsReleasedAndNeverReachesTheServer)
{
    CTestModifier* refuser = nullptr;
    Keyboard().InstallModifier(0, NewModifier(&refuser));
    refuser->m_fnAction = [](eModifierProcessingState, std::int32_t, CTQModifierDataTransport& t) {
        t.SetResult(eModifierResultDiscard);
    };
    const std::int32_t onServer = NewModifier();
    m_pServer->InstallModifier(0, onServer);
    EXPECT_FALSE(Keyboard().PressKey(eKeyA));
    EXPECT_EQ(States(CTestModifier::s_aCalls), std::vector<eModifierProcessingState>{eModifierDevicePreQueue});
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 0);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, AnEventRefusedOnTheServerIsReleasedAndNotQueued)
{
    CTestModifier* refuser = nullptr;
    m_pServer->InstallModifier(0, NewModifier(&refuser));
    refuser->m_fnAction = [](eModifierProcessingState, std::int32_t, CTQModifierDataTransport& t) {
        t.SetResult(eModifierResultDiscard);
    };
    EXPECT_FALSE(Mouse().MoveTo(1, 1));
    EXPECT_EQ(States(CTestModifier::s_aCalls), std::vector<eModifierProcessingState>{eModifierServerPreQueue});
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, EventsQueuedDuringAServerPassSkipTheServerModifiers)
{
    CTestModifier* player = nullptr;
    const std::int32_t playerId = NewModifier(&player);
    m_pServer->InstallModifier(0, playerId);
    player->m_fnAction = [this](eModifierProcessingState state, std::int32_t, CTQModifierDataTransport&) {
        if (state == eModifierServerTrigger)
            m_pServer->QueueEvent(m_pServer->NewEvent());
    };
    m_pServer->Trigger();
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 1);
    EXPECT_EQ(CTestModifier::s_aCalls, (std::vector<sModifierCall>{{playerId, eModifierServerTrigger, -1}}));
}

TEST_F(CTQInputServerTest, ADeviceTakenOutDuringTheTriggerWalkIsSkippedSafely)
{
    CTestModifier* remover = nullptr;
    const std::int32_t onMouse = NewModifier(&remover);
    const std::int32_t onKeyboard = NewModifier();
    const std::int32_t onJoystick = NewModifier();
    Mouse().InstallModifier(0, onMouse);
    Keyboard().InstallModifier(0, onKeyboard);
    Joystick().InstallModifier(0, onJoystick);
    const std::int32_t keyboardId = Keyboard().GetDeviceId();
    remover->m_fnAction = [this, keyboardId](eModifierProcessingState, std::int32_t, CTQModifierDataTransport&) {
        m_pServer->RemoveDevice(keyboardId);
    };
    m_pServer->Trigger();
    const std::vector<sModifierCall> expected = {
        {onMouse, eModifierDeviceTrigger, -1},
        {onJoystick, eModifierDeviceTrigger, -1},
    };
    EXPECT_EQ(CTestModifier::s_aCalls, expected);
    EXPECT_EQ(m_pServer->GetNumDevices(), 2);
}

TEST_F(CTQInputServerTest, AnInactiveDeviceIsNotTriggeredAndFeedsNothing)
{
    const std::int32_t onMouse = NewModifier();
    Mouse().InstallModifier(0, onMouse);
    Mouse().Deactivate();
    EXPECT_FALSE(Mouse().MoveTo(5, 5));
    m_pServer->Trigger();
    EXPECT_TRUE(CTestModifier::s_aCalls.empty());
    Mouse().Activate();
    m_pServer->Trigger();
    EXPECT_EQ(CTestModifier::s_aCalls.size(), 1u);
}

TEST_F(CTQInputServerTest, StoredFormIsTheInputObjectPartAndLoadingFlushesTheQueue)
{
    CTQDataStream out(CTQDataStream::eStoring);
    m_pServer->Serialize(out);
    const std::int32_t id = m_pServer->GetId();
    const std::vector<std::uint8_t> expected = {
        0x00, 0x01, 0x00, 0x00, 0x18, 0x00, 0x00, 0x00, // CTQInputObject bracket
        0x00, 0x01, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, // CTQObject bracket
        static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id >> 16),
        static_cast<std::uint8_t>(id >> 24), 0xFF, 0xFF, 0xFF, 0xFF, // ids
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, // user values
    };
    EXPECT_EQ(std::vector<std::uint8_t>(out.GetBuffer(), out.GetBuffer() + out.GetSize()), expected);

    Keyboard().TapKey(eKeyA);
    CTQDataStream in(CTQDataStream::eLoading, expected.data(), static_cast<std::uint32_t>(expected.size()));
    m_pServer->Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(m_pServer->GetNumEventsInQueue(), 0);
    EXPECT_EQ(m_pServer->GetNumEvents(), 0);
}

TEST_F(CTQInputServerTest, DestroyingAServerThatIsNotCurrentKeepsTheCurrentOne)
{
    auto other = std::make_unique<CTQHeadlessInputServer>();
    EXPECT_EQ(TQGetInputServer(), other.get());
    m_pServer.reset();
    EXPECT_EQ(TQGetInputServer(), other.get());
    other.reset();
    EXPECT_EQ(TQGetInputServer(), nullptr);
}

// Under the sanitizers a leak here fails the run: queued events and events
// still held die with the server.
TEST_F(CTQInputServerTest, DestroyingTheServerReleasesQueuedAndHeldEvents)
{
    Keyboard().TapKey(eKeyA);
    ASSERT_NE(m_pServer->QueryEvent(m_pServer->NewEvent()), nullptr);
    EXPECT_EQ(m_pServer->GetNumEvents(), 3);
    m_pServer.reset();
    EXPECT_EQ(TQGetInputServer(), nullptr);
}

TEST_F(CTQInputServerTest, TheInputServerIsFoundThroughTheDeviceInfix)
{
    CHeadlessInfix infix;
    ITQDeviceClassInfixSource* previous = TQSetDeviceClassInfixSource(&infix);
    const std::int32_t id = m_pDatabase->CreateObject("CTQInputServer");
    TQSetDeviceClassInfixSource(previous);
    CTQObject* object = m_pDatabase->QueryObject(id);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->GetType().GetName(), CTQString("CTQHeadlessInputServer"));
    EXPECT_EQ(TQGetInputServer(), object);
    m_pDatabase->ReleaseObject(id);
    m_pDatabase->DestroyObject(id);
    EXPECT_EQ(TQGetInputServer(), nullptr);
}
