#include <Framekit/ObjectModel/CTQEventHandler.h>

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTimer.h>
#include <Plinth/Log.h>

TQ_IMPLEMENT_ROOT_CLASS_TYPE(CTQEventHandler, kTQDefaultDataFormatVersion)

namespace
{
// An event this close to its due time counts as due, so that one triggered
// "now" is delivered by an Update in the same instant.
constexpr double kDueTolerance = 0.0005;

CTQEventHandler* s_pCurrentEventHandler = nullptr;

sTriggeredEvent MakeEvent(std::int32_t eventId, double dueTime, std::int32_t targetId, std::int32_t p1,
                          std::uint32_t p2, std::uint32_t p3, std::uint32_t p4, std::uint32_t p5)
{
    sTriggeredEvent e;
    e.nEventId = eventId;
    e.fDueTime = dueTime;
    e.nTargetId = targetId;
    e.nParam1 = p1;
    e.nParam2 = p2;
    e.nParam3 = p3;
    e.nParam4 = p4;
    e.nParam5 = p5;
    return e;
}
} // namespace

CTQEventHandler* TQGetEventHandler()
{
    return s_pCurrentEventHandler;
}

CTQEventHandler::CTQEventHandler()
{
    s_pCurrentEventHandler = this;
}

CTQEventHandler::~CTQEventHandler()
{
    if (s_pCurrentEventHandler == this)
        s_pCurrentEventHandler = nullptr;
}

void CTQEventHandler::Serialize(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        if (m_nWalkPending > 0)
        {
            // Saved from inside a delivery: part of the queue is out for the walk.
            std::vector<sTriggeredEvent> all = CollectQueuedEvents();
            TQSerializeArray(s, kTQArrayTagEvents, all);
        }
        else
            TQSerializeArray(s, kTQArrayTagEvents, m_aQueue);
        return;
    }
    // The loaded queue replaces everything, including what a running walk holds.
    m_nWalkPending = 0;
    if (!TQSerializeArray(s, kTQArrayTagEvents, m_aQueue))
        Debug_Warning("CTQEventHandler::Serialize(): the event queue is damaged; %d events were read",
                      static_cast<int>(m_aQueue.size()));
}

void CTQEventHandler::Trigger(std::int32_t eventId, std::int32_t targetId, std::int32_t p1, std::uint32_t p2,
                              std::uint32_t p3, std::uint32_t p4, std::uint32_t p5)
{
    Queue(MakeEvent(eventId, CTimer::GetCurTime(), targetId, p1, p2, p3, p4, p5));
}

void CTQEventHandler::DelayedTrigger(std::int32_t eventId, double delay, std::int32_t targetId, std::int32_t p1,
                                     std::uint32_t p2, std::uint32_t p3, std::uint32_t p4, std::uint32_t p5)
{
    Queue(MakeEvent(eventId, CTimer::GetCurTime() + delay, targetId, p1, p2, p3, p4, p5));
}

void CTQEventHandler::TriggerDirect(std::int32_t eventId, std::int32_t targetId, std::int32_t p1, std::uint32_t p2,
                                    std::uint32_t p3, std::uint32_t p4, std::uint32_t p5)
{
    DispatchEvent(MakeEvent(eventId, CTimer::GetCurTime(), targetId, p1, p2, p3, p4, p5));
}

void CTQEventHandler::Update()
{
    if (m_bWalking || m_aQueue.empty())
        return;
    // The walk runs on its own buffer so that deliveries may change m_aQueue
    // freely; m_aWalk is empty here, so m_aQueue starts the walk empty.
    m_aWalk.swap(m_aQueue);
    m_aDelivered.assign(m_aWalk.size(), 0);
    m_nWalkPending = static_cast<std::int32_t>(m_aWalk.size());
    m_bWalking = true;
    WalkDueEvents();
    m_bWalking = false;
    MergeUndeliveredEvents();
}

void CTQEventHandler::RemoveAllTriggeredEvents()
{
    m_aQueue.clear();
    m_nWalkPending = 0;
}

bool CTQEventHandler::HasTriggeredEvents() const
{
    return GetTriggeredEventCount() > 0;
}

std::int32_t CTQEventHandler::GetTriggeredEventCount() const
{
    return static_cast<std::int32_t>(m_aQueue.size()) + m_nWalkPending;
}

bool CTQEventHandler::DispatchEvent(const sTriggeredEvent& e)
{
    if (e.fDueTime - CTimer::GetCurTime() > kDueTolerance || e.nTargetId < 0)
        return false;
    CTQObjectDatabase* database = TQGetObjectDatabase();
    CTQObject* target = database ? database->QueryObject(e.nTargetId) : nullptr;
    if (target)
    {
        target->DispatchEvent(e.nEventId, e.nParam1, e.nParam2, e.nParam3, e.nParam4, e.nParam5);
        // The lookup's own reference goes back directly: a target that destroyed
        // itself while handling the event must not be told OnDestruct twice.
        target->Release();
    }
    return true;
}

void CTQEventHandler::Queue(const sTriggeredEvent& e)
{
    m_aQueue.push_back(e);
}

void CTQEventHandler::WalkDueEvents()
{
    // m_aWalk itself never changes during the walk (a nested Update returns at
    // once); removals elsewhere only zero m_nWalkPending.
    for (std::size_t i = m_aWalk.size(); i-- > 0 && m_nWalkPending > 0;)
    {
        if (!DispatchEvent(m_aWalk[i]))
            continue;
        // The event being delivered was pending, so a count of 0 now means the
        // queue was emptied during the delivery and the walk is over.
        if (m_nWalkPending == 0)
            break;
        m_aDelivered[i] = 1;
        --m_nWalkPending;
    }
}

void CTQEventHandler::MergeUndeliveredEvents()
{
    if (m_nWalkPending > 0)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_aWalk.size(); ++i)
            if (!m_aDelivered[i])
                m_aWalk[kept++] = m_aWalk[i];
        m_aWalk.resize(kept);
        // The undelivered events were triggered before any that arrived during
        // the walk, so they go in front.
        if (m_aQueue.empty())
            m_aQueue.swap(m_aWalk);
        else
            m_aQueue.insert(m_aQueue.begin(), m_aWalk.begin(), m_aWalk.end());
    }
    m_aWalk.clear();
    m_nWalkPending = 0;
}

std::vector<sTriggeredEvent> CTQEventHandler::CollectQueuedEvents() const
{
    std::vector<sTriggeredEvent> all;
    all.reserve(static_cast<std::size_t>(GetTriggeredEventCount()));
    if (m_nWalkPending > 0)
        for (std::size_t i = 0; i < m_aWalk.size(); ++i)
            if (!m_aDelivered[i])
                all.push_back(m_aWalk[i]);
    all.insert(all.end(), m_aQueue.begin(), m_aQueue.end());
    return all;
}
