#include <Framekit/ObjectModel/CTQEventHandler.h>

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>
#include <Plinth/TimeSource.h>

#include <gtest/gtest.h>

#include "Support/StreamBytes.h"

#include <functional>
#include <memory>
#include <vector>

namespace
{
using TestSupport::Loading;
struct SCall
{
    std::int32_t targetId;
    std::int32_t eventId;
    std::int32_t p1;
    std::uint32_t p2, p3, p4, p5;
    bool operator==(const SCall&) const = default;
};

std::vector<SCall> s_aCalls;
// Runs inside a delivery, after the call is recorded.
std::function<void(std::int32_t eventId)> s_fnOnEvent;

class CTestEventTarget : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTestEventTarget)

    bool DispatchEvent(std::int32_t eventId, std::int32_t p1, std::uint32_t p2, std::uint32_t p3, std::uint32_t p4,
                       std::uint32_t p5) override
    {
        s_aCalls.push_back({GetId(), eventId, p1, p2, p3, p4, p5});
        if (s_fnOnEvent)
            s_fnOnEvent(eventId);
        return true;
    }
};

TQ_IMPLEMENT_CLASS_TYPE(CTestEventTarget, CTQObject, 0x100)
TQ_REGISTER_OBJECT_FACTORY(CTestEventTarget)

std::vector<std::int32_t> DeliveredEventIds()
{
    std::vector<std::int32_t> ids;
    for (const SCall& call : s_aCalls)
        ids.push_back(call.eventId);
    return ids;
}

void CountWarnings(const TQLogMessage& message, void* user)
{
    if (message.kind == eTQLogKind::Warning)
        ++*static_cast<int*>(user);
}

class CTQEventHandlerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        s_aCalls.clear();
        s_fnOnEvent = nullptr;
        m_pPreviousTimeSource = TQSetTimeSource(&m_oClock);
        m_pfnPreviousLogSink = TQSetLogSink(&CountWarnings, &m_nWarnings);
        m_pDatabase = std::make_unique<CTQObjectDatabase>();
        m_pHandler = std::make_unique<CTQEventHandler>();
        m_nTarget = m_pDatabase->CreateObject("CTestEventTarget");
        ASSERT_GE(m_nTarget, 0);
    }

    void TearDown() override
    {
        s_fnOnEvent = nullptr;
        m_pHandler.reset();
        m_pDatabase.reset();
        TQSetTimeSource(m_pPreviousTimeSource);
        TQSetLogSink(m_pfnPreviousLogSink);
    }

    static std::vector<std::uint8_t> Saved(CTQEventHandler& handler) { return TestSupport::Store(handler); }

    CTQManualClock m_oClock{100.0};
    ITQTimeSource* m_pPreviousTimeSource = nullptr;
    PFN_TQLogSink m_pfnPreviousLogSink = nullptr;
    int m_nWarnings = 0;
    std::unique_ptr<CTQObjectDatabase> m_pDatabase;
    std::unique_ptr<CTQEventHandler> m_pHandler;
    std::int32_t m_nTarget = -1;
};
} // namespace

// --- Current instance ---------------------------------------------------------

TEST_F(CTQEventHandlerTest, ConstructingMakesCurrentAndOnlyTheCurrentOneClearsIt)
{
    EXPECT_EQ(TQGetEventHandler(), m_pHandler.get());
    auto second = std::make_unique<CTQEventHandler>();
    EXPECT_EQ(TQGetEventHandler(), second.get());
    m_pHandler.reset(); // not current: must not clear
    EXPECT_EQ(TQGetEventHandler(), second.get());
    second.reset();
    EXPECT_EQ(TQGetEventHandler(), nullptr);
}

// --- Timing -----------------------------------------------------------------------

TEST_F(CTQEventHandlerTest, DelayedEventWaitsForItsDueTimeAndCarriesEveryParameter)
{
    m_pHandler->DelayedTrigger(7, 2.0, m_nTarget, -3, 0xFFFFFFFFu, 2, 3, 4);
    m_oClock.Advance(1.0);
    m_pHandler->Update();
    EXPECT_TRUE(s_aCalls.empty());
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 1);

    m_oClock.Advance(1.0);
    m_pHandler->Update();
    ASSERT_EQ(s_aCalls.size(), 1u);
    EXPECT_EQ(s_aCalls[0], (SCall{m_nTarget, 7, -3, 0xFFFFFFFFu, 2, 3, 4}));
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, EventsDueInOneUpdateAreDeliveredNewestFirst)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{2, 1}));
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 0);
}

TEST_F(CTQEventHandlerTest, DueTimeToleranceIsHalfAMillisecond)
{
    m_pHandler->DelayedTrigger(1, 0.0004, m_nTarget);
    m_pHandler->DelayedTrigger(2, 0.0006, m_nTarget);
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 1);
}

TEST_F(CTQEventHandlerTest, UndeliveredEventsKeepTheirOrderAroundDeliveredOnes)
{
    // Queue: 1 (late), 2 (due), 3 (late), 4 (due). Removing 2 and 4 must leave
    // 1 before 3, so that they later arrive newest first: 3, 1.
    m_pHandler->DelayedTrigger(1, 5.0, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    m_pHandler->DelayedTrigger(3, 5.0, m_nTarget);
    m_pHandler->Trigger(4, m_nTarget);
    m_pHandler->Update();
    m_oClock.Advance(5.0);
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{4, 2, 3, 1}));
}

// --- Targets ------------------------------------------------------------------------

TEST_F(CTQEventHandlerTest, EventForADestroyedObjectIsDroppedWithoutACall)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pDatabase->DestroyObject(m_nTarget);
    m_pHandler->Update();
    EXPECT_TRUE(s_aCalls.empty());
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, DueEventsAreDroppedWhenThereIsNoDatabase)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pDatabase.reset();
    m_pHandler->Update();
    EXPECT_TRUE(s_aCalls.empty());
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, TriggerDirectDeliversAtOnceWithoutQueueing)
{
    m_pHandler->TriggerDirect(9, m_nTarget, 1, 2, 3, 4, 5);
    ASSERT_EQ(s_aCalls.size(), 1u);
    EXPECT_EQ(s_aCalls[0], (SCall{m_nTarget, 9, 1, 2, 3, 4, 5}));
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, TriggerDirectWithANegativeTargetDoesNothing)
{
    m_pHandler->TriggerDirect(9, -1);
    EXPECT_TRUE(s_aCalls.empty());
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, NegativeTargetEventsStayQueuedUntilRemoveAll)
{
    m_pHandler->Trigger(1, -1);
    m_pHandler->Trigger(2, m_nTarget);
    for (int frame = 0; frame < 3; ++frame)
    {
        m_oClock.Advance(10.0);
        m_pHandler->Update();
    }
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 1);
    m_pHandler->RemoveAllTriggeredEvents();
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, DeliveryLeavesTheTargetsReferenceCountUnchanged)
{
    CTQObject* target = m_pDatabase->QueryObject(m_nTarget);
    ASSERT_NE(target, nullptr);
    m_pDatabase->ReleaseObject(m_nTarget);
    const std::int32_t before = target->GetRefCount();

    m_pHandler->Trigger(1, m_nTarget);
    m_pHandler->Update();
    m_pHandler->TriggerDirect(2, m_nTarget);
    EXPECT_EQ(s_aCalls.size(), 2u);
    EXPECT_EQ(target->GetRefCount(), before);
}

// --- Changes to the queue during a delivery ------------------------------------------

TEST_F(CTQEventHandlerTest, EventTriggeredDuringDeliveryWaitsForTheNextUpdate)
{
    m_pHandler->DelayedTrigger(1, 1.0, m_nTarget); // older, not yet due
    m_pHandler->Trigger(2, m_nTarget);
    std::int32_t countInside = -1;
    s_fnOnEvent = [&](std::int32_t eventId) {
        if (eventId != 2)
            return;
        m_pHandler->Trigger(3, m_nTarget);
        countInside = m_pHandler->GetTriggeredEventCount();
    };
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{2}));
    // Event 2 is still being delivered, 1 waits, 3 is new.
    EXPECT_EQ(countInside, 3);
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 2);

    // The new event is behind the older one: it arrives first.
    m_oClock.Advance(1.0);
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{2, 3, 1}));
    EXPECT_FALSE(m_pHandler->HasTriggeredEvents());
}

TEST_F(CTQEventHandlerTest, RemoveAllDuringDeliveryDropsTheRestButKeepsLaterTriggers)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    m_pHandler->Trigger(3, m_nTarget);
    s_fnOnEvent = [&](std::int32_t eventId) {
        if (eventId != 3)
            return;
        m_pHandler->RemoveAllTriggeredEvents();
        m_pHandler->Trigger(4, m_nTarget);
    };
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 1);
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{3, 4}));
}

TEST_F(CTQEventHandlerTest, UpdateFromInsideADeliveryDoesNothing)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    s_fnOnEvent = [&](std::int32_t) { m_pHandler->Update(); };
    m_pHandler->Update();
    EXPECT_EQ(DeliveredEventIds(), (std::vector<std::int32_t>{2, 1}));
}

TEST_F(CTQEventHandlerTest, SavingDuringADeliveryWritesTheWholeQueue)
{
    m_pHandler->DelayedTrigger(1, 1.0, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    std::vector<std::uint8_t> inside;
    s_fnOnEvent = [&](std::int32_t eventId) {
        if (eventId == 2)
            inside = Saved(*m_pHandler);
    };
    m_pHandler->Update();
    CTQEventHandler reference;
    reference.DelayedTrigger(1, 1.0, m_nTarget);
    reference.Trigger(2, m_nTarget);
    EXPECT_EQ(inside, Saved(reference));
}

// --- Saved form ------------------------------------------------------------------------

TEST_F(CTQEventHandlerTest, SavedQueueHasTheExactLayout)
{
    EXPECT_EQ(Saved(*m_pHandler), (std::vector<std::uint8_t>{0x4C, 0, 0, 0, 0})) << "empty: the tag and a count of 0";
    m_pHandler->DelayedTrigger(7, 2.5, 3, -2, 0x01020304u, 5, 6, 0xFFFFFFFFu);
    // due 102.5 = 0x4059A00000000000
    const std::vector<std::uint8_t> expected = {
        0x4C,                                           // array tag
        1,    0,    0,    0,                            // count
        0x00, 0x01, 0,    0,                            // bracket: version 0x100
        36,   0,    0,    0,                            // bracket: length
        7,    0,    0,    0,                            // event id
        0,    0,    0,    0,    0, 0xA0, 0x59, 0x40,    // due time
        3,    0,    0,    0,                            // target id
        0xFE, 0xFF, 0xFF, 0xFF,                         // p1
        4,    3,    2,    1,                            // p2
        5,    0,    0,    0,                            // p3
        6,    0,    0,    0,                            // p4
        0xFF, 0xFF, 0xFF, 0xFF,                         // p5
    };
    EXPECT_EQ(Saved(*m_pHandler), expected);
}

TEST_F(CTQEventHandlerTest, RoundTripRestoresEveryEventInOrder)
{
    m_pHandler->DelayedTrigger(1, 1.5, m_nTarget, -7, 1, 2, 3, 4);
    m_pHandler->Trigger(2, -1, 9);
    const std::vector<std::uint8_t> saved = Saved(*m_pHandler);

    CTQEventHandler loaded;
    loaded.Trigger(99, m_nTarget); // replaced by the load
    CTQDataStream in = Loading(saved);
    loaded.Serialize(in);
    EXPECT_FALSE(in.IsFailed());
    EXPECT_EQ(in.GetRemaining(), 0u);
    EXPECT_EQ(loaded.GetTriggeredEventCount(), 2);
    EXPECT_EQ(Saved(loaded), saved);
    EXPECT_EQ(m_nWarnings, 0);

    m_oClock.Advance(1.5);
    loaded.Update();
    ASSERT_EQ(s_aCalls.size(), 1u);
    EXPECT_EQ(s_aCalls[0], (SCall{m_nTarget, 1, -7, 1, 2, 3, 4}));
}

TEST_F(CTQEventHandlerTest, TruncatedStreamFailsAndKeepsTheEventsReadBeforeTheCut)
{
    m_pHandler->Trigger(1, m_nTarget);
    m_pHandler->Trigger(2, m_nTarget);
    const std::vector<std::uint8_t> saved = Saved(*m_pHandler);
    const std::size_t firstEventEnd = 5 + 8 + 36;
    for (std::size_t cut = 0; cut < saved.size(); ++cut)
    {
        CTQEventHandler loaded;
        CTQDataStream in = Loading(std::vector<std::uint8_t>(saved.begin(), saved.begin() + cut));
        loaded.Serialize(in);
        EXPECT_TRUE(in.IsFailed()) << "cut at " << cut;
        EXPECT_EQ(loaded.GetTriggeredEventCount(), cut >= firstEventEnd ? 1 : 0) << "cut at " << cut;
    }
    EXPECT_EQ(m_nWarnings, static_cast<int>(saved.size()));
}

TEST_F(CTQEventHandlerTest, AbsurdOrNegativeCountFailsBeforeAllocating)
{
    for (std::uint8_t top : {std::uint8_t{0x7F}, std::uint8_t{0xFF}})
    {
        m_pHandler->Trigger(1, m_nTarget);
        CTQDataStream in = Loading({0x4C, 0xFF, 0xFF, 0xFF, top, 0, 1, 0, 0});
        m_pHandler->Serialize(in);
        EXPECT_TRUE(in.IsFailed());
        EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 0);
    }
    EXPECT_EQ(m_nWarnings, 2);
}

TEST_F(CTQEventHandlerTest, ABracketLongerThanTheStreamFails)
{
    CTQDataStream in = Loading({0x4C, 1, 0, 0, 0, 0, 1, 0, 0, 0xFF, 0xFF, 0, 0, 7, 0, 0, 0});
    m_pHandler->Serialize(in);
    EXPECT_TRUE(in.IsFailed());
    EXPECT_EQ(m_pHandler->GetTriggeredEventCount(), 0);
}
