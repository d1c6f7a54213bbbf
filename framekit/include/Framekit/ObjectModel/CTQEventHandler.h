#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/TQClassTypeMacros.h>
#include <Framekit/ObjectModel/sTriggeredEvent.h>

#include <cstdint>
#include <vector>

class CTQDataStream;

// The game's event queue: delivers events to objects by object id, now, at the
// next Update or after a delay, through the target's CTQObject::DispatchEvent.
//
// An event is delivered once it is due (within half a millisecond) and its
// target id is not negative; an event whose target no longer exists is dropped.
// Events with a negative target never become deliverable and stay queued until
// RemoveAllTriggeredEvents.
//
// A target's DispatchEvent may trigger, remove or count events while Update is
// delivering: events triggered then wait for the next Update, and removing all
// events also drops the undelivered rest of the walk.
class FRAMEKIT_API CTQEventHandler
{
public:
    TQ_DECLARE_ROOT_CLASS_TYPE(CTQEventHandler)

    // The new handler becomes the current one.
    CTQEventHandler();
    CTQEventHandler(const CTQEventHandler&) = delete;
    CTQEventHandler& operator=(const CTQEventHandler&) = delete;
    // Stops being current if it is.
    virtual ~CTQEventHandler();

    // The queue as an array field tagged 0x4C, each event in a bracket with the
    // handler's version. Loading replaces the queue; a stream that cannot be read
    // fails and leaves the events read before the fault.
    virtual void Serialize(CTQDataStream& s);

    // Queues the event, due now.
    void Trigger(std::int32_t eventId, std::int32_t targetId, std::int32_t p1 = 0, std::uint32_t p2 = 0,
                 std::uint32_t p3 = 0, std::uint32_t p4 = 0, std::uint32_t p5 = 0);
    // Queues the event, due delay seconds from now.
    void DelayedTrigger(std::int32_t eventId, double delay, std::int32_t targetId, std::int32_t p1 = 0,
                        std::uint32_t p2 = 0, std::uint32_t p3 = 0, std::uint32_t p4 = 0, std::uint32_t p5 = 0);
    // Delivers the event at once, without queueing; nothing for a negative target.
    void TriggerDirect(std::int32_t eventId, std::int32_t targetId, std::int32_t p1 = 0, std::uint32_t p2 = 0,
                       std::uint32_t p3 = 0, std::uint32_t p4 = 0, std::uint32_t p5 = 0);

    // Delivers the due events, from the most recently triggered to the oldest,
    // and removes them from the queue. Called once per frame. A call made from
    // inside a delivery does nothing.
    void Update();

    void RemoveAllTriggeredEvents();
    bool HasTriggeredEvents() const;
    std::int32_t GetTriggeredEventCount() const;

private:
    // Delivers e if it is due and has a target id; true when the event is done
    // with (delivered, or dropped because the target is gone).
    bool DispatchEvent(const sTriggeredEvent& e);
    void Queue(const sTriggeredEvent& e);
    void WalkDueEvents();
    void MergeUndeliveredEvents();
    std::vector<sTriggeredEvent> CollectQueuedEvents() const;

    // Outside Update: every queued event, in triggering order. During Update's
    // walk: only the events triggered since the walk began.
    std::vector<sTriggeredEvent> m_aQueue;
    // During Update: the events queued when it began, and which of them have
    // been delivered. Kept between updates so that a frame allocates nothing
    // once the buffers have grown to the largest queue seen.
    std::vector<sTriggeredEvent> m_aWalk;
    std::vector<std::uint8_t> m_aDelivered;
    // Events of m_aWalk still queued (neither delivered nor removed).
    std::int32_t m_nWalkPending = 0;
    bool m_bWalking = false;
};

// The current event handler, or null.
FRAMEKIT_API CTQEventHandler* TQGetEventHandler();
