#include <Framekit/Input/CTQInputServer.h>

#include <Framekit/Input/CTQInputDevice.h>
#include <Framekit/Input/CTQInputEvent.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/CTQObjectFactory.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTQScopedLock.h>
#include <Plinth/Log.h>

#include <atomic>
#include <limits>

TQ_IMPLEMENT_CLASS_TYPE(CTQInputServer, CTQInputObject, kTQDefaultDataFormatVersion)

namespace
{
using CQueueLock = CTQScopedLock<CTQCriticalSection>;

// Devices may read the current server from their own threads.
std::atomic<CTQInputServer*> s_pCurrentServer{nullptr};
std::atomic<std::int32_t> s_nNextDeviceId{0};
std::atomic<std::int32_t> s_nNextEventId{0};

// The next value of a counter that stops, rather than wraps into -1 and the
// negative ids, at the end of the 32-bit range.
std::int32_t TakeUniqueId(std::atomic<std::int32_t>& counter)
{
    std::int32_t id = counter.load();
    do
    {
        if (id == std::numeric_limits<std::int32_t>::max())
            return -1;
    } while (!counter.compare_exchange_weak(id, id + 1));
    return id;
}
} // namespace

CTQInputServer* TQGetInputServer()
{
    return s_pCurrentServer.load();
}

std::int32_t CTQInputServer::GetUniqueDeviceId()
{
    return TakeUniqueId(s_nNextDeviceId);
}

std::int32_t CTQInputServer::GetUniqueEventId()
{
    return TakeUniqueId(s_nNextEventId);
}

CTQInputServer::CTQInputServer()
{
    s_pCurrentServer.store(this);
}

CTQInputServer::~CTQInputServer()
{
    {
        CQueueLock lock(m_oQueueLock);
        CTQInputServer::FlushEventQueue();
        DestroyRemainingEvents();
    }
    CTQInputServer* self = this;
    s_pCurrentServer.compare_exchange_strong(self, nullptr);
}

void CTQInputServer::DestroyRemainingEvents()
{
    // Events made but never queued or released, and events someone still
    // holds: the table owns them and they die with it.
    std::map<std::int32_t, CTQInputEvent*> events;
    events.swap(m_oEvents);
    for (auto& [eventId, event] : events)
        CTQObjectFactory::Delete(event);
}

void CTQInputServer::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQInputObject>(s, *this);
    if (s.IsLoading())
        FlushEventQueue();
}

CTQObjectDatabase* CTQInputServer::GetObjectDatabase() const
{
    return TQGetObjectDatabase();
}

// ---- Devices ----------------------------------------------------------------------------------------

bool CTQInputServer::AddDevice(std::int32_t deviceId, std::int32_t objectId)
{
    CTQObjectDatabase* database = GetObjectDatabase();
    CTQObject* object = database ? database->QueryObject(objectId) : nullptr;
    const bool isDevice = object && object->IsOfType(CTQInputDevice::GetClassType());
    if (isDevice && deviceId >= 0)
    {
        m_oDevices[deviceId] = objectId;
        static_cast<CTQInputDevice*>(object)->SetDeviceId(deviceId);
    }
    if (object)
        database->ReleaseObject(objectId);
    if (!isDevice || deviceId < 0)
    {
        Debug_Warning("CTQInputServer::AddDevice(): object %d cannot be device %d", objectId, deviceId);
        return false;
    }
    return true;
}

void CTQInputServer::RemoveDevice(std::int32_t deviceId)
{
    m_oDevices.erase(deviceId);
}

std::int32_t CTQInputServer::GetNumDevices() const
{
    return static_cast<std::int32_t>(m_oDevices.size());
}

std::int32_t CTQInputServer::GetNumDevicesOfType(const CTQClassType& type) const
{
    CTQObjectDatabase* database = GetObjectDatabase();
    if (!database)
        return 0;
    std::int32_t count = 0;
    for (const auto& [deviceId, objectId] : m_oDevices)
    {
        CTQObject* object = database->QueryObject(objectId);
        if (!object)
            continue;
        if (object->IsOfType(CTQInputDevice::GetClassType()) && object->IsOfType(type))
            ++count;
        database->ReleaseObject(objectId);
    }
    return count;
}

CTQInputDevice* CTQInputServer::QueryDevice(std::int32_t deviceId)
{
    auto it = m_oDevices.find(deviceId);
    CTQObjectDatabase* database = GetObjectDatabase();
    if (it == m_oDevices.end() || !database)
        return nullptr;
    CTQObject* object = database->QueryObject(it->second);
    if (!object)
        return nullptr;
    if (!object->IsOfType(CTQInputDevice::GetClassType()))
    {
        database->ReleaseObject(it->second);
        return nullptr;
    }
    return static_cast<CTQInputDevice*>(object);
}

void CTQInputServer::ReleaseDevice(std::int32_t deviceId)
{
    auto it = m_oDevices.find(deviceId);
    CTQObjectDatabase* database = GetObjectDatabase();
    if (it == m_oDevices.end() || !database)
        return;
    if (database->ReleaseObject(it->second) <= 0)
        RemoveDevice(deviceId);
}

bool CTQInputServer::GetFirstDevice(std::int32_t& position, std::int32_t& deviceId) const
{
    if (m_oDevices.empty())
    {
        deviceId = -1;
        return false;
    }
    position = deviceId = m_oDevices.begin()->first;
    return true;
}

bool CTQInputServer::GetNextDevice(std::int32_t& position, std::int32_t& deviceId) const
{
    // The position is the device id last returned: the walk goes on from the
    // next id above it, whatever was removed or added meanwhile.
    auto it = m_oDevices.upper_bound(position);
    if (it == m_oDevices.end())
    {
        deviceId = -1;
        return false;
    }
    position = deviceId = it->first;
    return true;
}

void CTQInputServer::ObtainFocus() {}
void CTQInputServer::LoseFocus() {}

bool CTQInputServer::HasFocus() const
{
    return false;
}

// ---- Events -----------------------------------------------------------------------------------------

std::int32_t CTQInputServer::NewEvent()
{
    CTQObject* object = CTQObjectFactory::New(CTQInputEvent::GetClassType().GetName());
    if (!object || !object->IsOfType(CTQInputEvent::GetClassType()))
    {
        CTQObjectFactory::Delete(object);
        Debug_Warning("CTQInputServer::NewEvent(): no input event can be made");
        return -1;
    }
    auto* event = static_cast<CTQInputEvent*>(object);
    CQueueLock lock(m_oQueueLock);
    const std::int32_t eventId = GetUniqueEventId();
    if (eventId < 0 || !AddEvent(eventId, event))
    {
        CTQObjectFactory::Delete(event);
        return -1;
    }
    return eventId;
}

bool CTQInputServer::AddEvent(std::int32_t eventId, CTQInputEvent* event)
{
    if (!event || eventId < 0)
        return false;
    CQueueLock lock(m_oQueueLock);
    if (!m_oEvents.emplace(eventId, event).second)
        return false;
    event->SetId(eventId);
    return true;
}

void CTQInputServer::RemoveEvent(std::int32_t eventId)
{
    CQueueLock lock(m_oQueueLock);
    m_oEvents.erase(eventId);
}

CTQInputEvent* CTQInputServer::QueryEvent(std::int32_t eventId)
{
    CQueueLock lock(m_oQueueLock);
    auto it = m_oEvents.find(eventId);
    if (it == m_oEvents.end())
        return nullptr;
    it->second->AddRef();
    return it->second;
}

void CTQInputServer::ReleaseEvent(std::int32_t eventId)
{
    CQueueLock lock(m_oQueueLock);
    auto it = m_oEvents.find(eventId);
    if (it == m_oEvents.end())
        return;
    // The entry goes with the last reference; the map holds the pointer only.
    if (it->second->Release() == 0)
        m_oEvents.erase(it);
}

bool CTQInputServer::HasEvent(std::int32_t eventId) const
{
    CQueueLock lock(m_oQueueLock);
    return m_oEvents.find(eventId) != m_oEvents.end();
}

std::int32_t CTQInputServer::GetNumEvents() const
{
    CQueueLock lock(m_oQueueLock);
    return static_cast<std::int32_t>(m_oEvents.size());
}

// ---- The event's way and the queue --------------------------------------------------------------------

bool CTQInputServer::QueueEvent(std::int32_t eventId)
{
    if (eventId == -1)
        return false;
    // The whole way runs under the lock: the modifier pass and the queue are
    // never entered from two threads at once.
    CQueueLock lock(m_oQueueLock);
    if (m_oEvents.find(eventId) == m_oEvents.end())
    {
        Debug_Warning("CTQInputServer::QueueEvent(): unknown event %d", eventId);
        return false;
    }
    if (!PreQueue(eventId))
    {
        ReleaseEvent(eventId);
        return false;
    }
    Queue(eventId);
    PostQueue(eventId);
    return true;
}

bool CTQInputServer::RunsServerModifiers() const
{
    return m_oModifiers.HasModifiers() && !m_oModifiers.IsBusyWithProcessing();
}

bool CTQInputServer::PreQueue(std::int32_t eventId)
{
    return !RunsServerModifiers() || m_oModifiers.Process(eModifierServerPreQueue, eventId);
}

void CTQInputServer::Queue(std::int32_t eventId)
{
    if (eventId == -1)
        return;
    CQueueLock lock(m_oQueueLock);
    m_aEventQueue.push_back(eventId);
}

void CTQInputServer::PostQueue(std::int32_t eventId)
{
    if (RunsServerModifiers())
        m_oModifiers.Process(eModifierServerPostQueue, eventId);
}

void CTQInputServer::LockEventQueue()
{
    m_oQueueLock.Enter();
}

void CTQInputServer::UnlockEventQueue()
{
    m_oQueueLock.Leave();
}

bool CTQInputServer::GetFirstEventInQueue(std::int32_t& index, std::int32_t& eventId)
{
    index = -1;
    if (GetNextEventInQueue(index, eventId))
        return true;
    index = 0;
    return false;
}

bool CTQInputServer::GetNextEventInQueue(std::int32_t& index, std::int32_t& eventId)
{
    CQueueLock lock(m_oQueueLock);
    // Wide arithmetic: any index the caller holds, however wrong, is refused.
    const std::int64_t next = static_cast<std::int64_t>(index) + 1;
    if (next < 0 || next >= static_cast<std::int64_t>(m_aEventQueue.size()))
    {
        eventId = -1;
        return false;
    }
    index = static_cast<std::int32_t>(next);
    eventId = m_aEventQueue[static_cast<std::size_t>(next)];
    return true;
}

bool CTQInputServer::RemoveEventFromQueue(std::int32_t& index)
{
    CQueueLock lock(m_oQueueLock);
    if (index < 0 || static_cast<std::size_t>(index) >= m_aEventQueue.size())
        return false;
    const std::int32_t eventId = m_aEventQueue[static_cast<std::size_t>(index)];
    m_aEventQueue.erase(m_aEventQueue.begin() + index);
    --index;
    ReleaseEvent(eventId);
    return true;
}

void CTQInputServer::FlushEventQueue()
{
    CQueueLock lock(m_oQueueLock);
    std::int32_t index = 0;
    while (!m_aEventQueue.empty())
    {
        index = 0;
        CTQInputServer::RemoveEventFromQueue(index);
    }
}

std::int32_t CTQInputServer::GetNumEventsInQueue() const
{
    CQueueLock lock(m_oQueueLock);
    return static_cast<std::int32_t>(m_aEventQueue.size());
}

// ---- Modifiers and the frame ----------------------------------------------------------------------------

void CTQInputServer::InstallModifier(std::int32_t priority, std::int32_t modifierId)
{
    CQueueLock lock(m_oQueueLock);
    m_oModifiers.InstallModifier(priority, modifierId);
}

void CTQInputServer::UninstallModifier(std::int32_t modifierId)
{
    CQueueLock lock(m_oQueueLock);
    m_oModifiers.UninstallModifier(modifierId);
}

std::int32_t CTQInputServer::GetNumModifiers() const
{
    CQueueLock lock(m_oQueueLock);
    return m_oModifiers.GetNumModifiers();
}

void CTQInputServer::TriggerDevice(std::int32_t deviceId)
{
    CTQInputDevice* device = QueryDevice(deviceId);
    if (!device)
        return;
    if (device->IsActive())
    {
        if (device->NeedsPolling())
            device->Poll();
        if (device->NeedsTrigger())
            device->Trigger();
    }
    ReleaseDevice(deviceId);
}

void CTQInputServer::Trigger()
{
    // Held for the whole frame step, so a device thread's event never finds a
    // pass of this thread busy and slips past the modifiers.
    CQueueLock lock(m_oQueueLock);
    std::int32_t position = -1;
    std::int32_t deviceId = -1;
    // The walk is by id, so devices that go away during it are simply not met.
    for (bool more = GetFirstDevice(position, deviceId); more; more = GetNextDevice(position, deviceId))
        TriggerDevice(deviceId);
    if (m_oModifiers.HasModifiers())
        m_oModifiers.Process(eModifierServerTrigger, -1);
}
