#pragma once

#include <Framekit/Input/CTQInputEvent.h>
#include <Framekit/Input/CTQInputModifier.h>
#include <Framekit/Input/CTQInputServer.h>
#include <Framekit/Input/CTQModifierDataTransport.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <FramekitHeadless/HeadlessInput.h>
#include <Plinth/TimeSource.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// What a test sees of an event (no ids of its own, so recordings compare).
struct sSeenEvent
{
    eInputEventType eType = eInputEventNone;
    std::int32_t nDeviceId = -1;
    std::int32_t nValue = 0;
    std::int32_t nX = 0;
    std::int32_t nY = 0;
    float fAxisValue = 0.0f;
    std::uint32_t nFlags = 0;
    bool operator==(const sSeenEvent&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const sSeenEvent& e)
{
    return os << "{type " << e.eType << ", device " << e.nDeviceId << ", value " << e.nValue << ", (" << e.nX << ", "
              << e.nY << "), axis " << e.fAxisValue << ", flags " << e.nFlags << "}";
}

inline sSeenEvent Seen(const CTQInputEvent& event)
{
    return {event.GetEventType(), event.GetDeviceId(), event.GetKey(),       event.GetXPos(),
            event.GetYPos(),      event.GetAxisValue(), event.GetFlags()};
}

// One call of a test modifier.
struct sModifierCall
{
    std::int32_t nModifierId;
    eModifierProcessingState eState;
    std::int32_t nEventId;
    bool operator==(const sModifierCall&) const = default;
};

// A modifier whose behaviour a test sets; every call is logged.
class CTestModifier : public CTQInputModifier
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestModifier)

    static std::vector<sModifierCall> s_aCalls;

    void Execute(eModifierProcessingState state, std::int32_t eventId, CTQModifierDataTransport& transport) override
    {
        s_aCalls.push_back({GetId(), state, eventId});
        if (m_fnAction)
            m_fnAction(state, eventId, transport);
    }

    std::function<void(eModifierProcessingState, std::int32_t, CTQModifierDataTransport&)> m_fnAction;
};

// A manual clock, an object database and a headless input server with its
// three devices, for each test.
class InputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CTestModifier::s_aCalls.clear();
        m_pPreviousTimeSource = TQSetTimeSource(&m_oClock);
        m_pDatabase = std::make_unique<CTQObjectDatabase>();
        m_pServer = std::make_unique<CTQHeadlessInputServer>();
        ASSERT_TRUE(m_pServer->CreateDevices());
    }

    void TearDown() override
    {
        m_pServer.reset();
        m_pDatabase.reset();
        TQSetTimeSource(m_pPreviousTimeSource);
    }

    CTQHeadlessMouse& Mouse() { return *m_pServer->GetMouse(); }
    CTQHeadlessKeyboard& Keyboard() { return *m_pServer->GetKeyboard(); }
    CTQHeadlessJoystick& Joystick() { return *m_pServer->GetJoystick(); }

    // A test modifier in the object database; its id.
    std::int32_t NewModifier(CTestModifier** out = nullptr)
    {
        const std::int32_t id = m_pDatabase->CreateObject("CTestModifier");
        if (out)
        {
            *out = static_cast<CTestModifier*>(m_pDatabase->QueryObject(id));
            m_pDatabase->ReleaseObject(id);
        }
        return id;
    }

    // Reads and removes every queued event, as a game does once per frame.
    std::vector<sSeenEvent> DrainQueue()
    {
        std::vector<sSeenEvent> seen;
        m_pServer->LockEventQueue();
        std::int32_t index = 0;
        std::int32_t eventId = -1;
        for (bool more = m_pServer->GetFirstEventInQueue(index, eventId); more;
             more = m_pServer->GetNextEventInQueue(index, eventId))
        {
            if (CTQInputEvent* event = m_pServer->QueryEvent(eventId))
            {
                seen.push_back(Seen(*event));
                m_pServer->ReleaseEvent(eventId);
            }
            m_pServer->RemoveEventFromQueue(index);
        }
        m_pServer->UnlockEventQueue();
        return seen;
    }

    std::vector<std::int32_t> QueuedIds()
    {
        std::vector<std::int32_t> ids;
        std::int32_t index = 0;
        std::int32_t eventId = -1;
        for (bool more = m_pServer->GetFirstEventInQueue(index, eventId); more;
             more = m_pServer->GetNextEventInQueue(index, eventId))
            ids.push_back(eventId);
        return ids;
    }

    CTQManualClock m_oClock{100.0};
    ITQTimeSource* m_pPreviousTimeSource = nullptr;
    std::unique_ptr<CTQObjectDatabase> m_pDatabase;
    std::unique_ptr<CTQHeadlessInputServer> m_pServer;
};
