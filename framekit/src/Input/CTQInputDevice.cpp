#include <Framekit/Input/CTQInputDevice.h>

#include <Framekit/Input/CTQInputEvent.h>
#include <Framekit/Input/CTQInputServer.h>

#include "TQEventQueueLock.h"

TQ_IMPLEMENT_CLASS_TYPE(CTQInputDevice, CTQInputObject, kTQDefaultDataFormatVersion)

CTQInputDevice::CTQInputDevice() = default;
CTQInputDevice::~CTQInputDevice() = default;

bool CTQInputDevice::Create()
{
    return true;
}

void CTQInputDevice::Destroy() {}
void CTQInputDevice::Reset() {}
void CTQInputDevice::Poll() {}

void CTQInputDevice::Trigger()
{
    CTQEventQueueLock lock(GetInputServer());
    if (m_oModifiers.HasModifiers())
        m_oModifiers.Process(eModifierDeviceTrigger, -1);
}

void CTQInputDevice::SetActive(bool active)
{
    m_bActive = active;
}

void CTQInputDevice::Activate()
{
    SetActive(true);
}

void CTQInputDevice::Deactivate()
{
    SetActive(false);
}

std::int32_t CTQInputDevice::GetDeviceId() const
{
    return m_nDeviceId;
}

bool CTQInputDevice::IsActive() const
{
    return m_bActive;
}

void CTQInputDevice::SetDeviceId(std::int32_t deviceId)
{
    m_nDeviceId = deviceId;
}

void CTQInputDevice::InstallModifier(std::int32_t priority, std::int32_t modifierId)
{
    CTQEventQueueLock lock(GetInputServer());
    m_oModifiers.InstallModifier(priority, modifierId);
}

void CTQInputDevice::UninstallModifier(std::int32_t modifierId)
{
    CTQEventQueueLock lock(GetInputServer());
    m_oModifiers.UninstallModifier(modifierId);
}

std::int32_t CTQInputDevice::GetNumModifiers() const
{
    CTQEventQueueLock lock(GetInputServer());
    return m_oModifiers.GetNumModifiers();
}

CTQInputServer* CTQInputDevice::GetInputServer() const
{
    return TQGetInputServer();
}

std::int32_t CTQInputDevice::NewEvent()
{
    CTQInputServer* server = GetInputServer();
    return server ? server->NewEvent() : -1;
}

void CTQInputDevice::ReleaseEvent(std::int32_t eventId)
{
    if (CTQInputServer* server = GetInputServer())
        server->ReleaseEvent(eventId);
}

bool CTQInputDevice::QueueEvent(std::int32_t eventId)
{
    CTQInputServer* server = GetInputServer();
    if (!server || eventId == -1)
        return false;
    CTQEventQueueLock lock(server);
    // Modifiers only ever see events that exist.
    if (!server->HasEvent(eventId))
        return false;
    if (!PreQueue(eventId))
    {
        ReleaseEvent(eventId);
        return false;
    }
    const bool queued = Queue(eventId);
    PostQueue(eventId);
    return queued;
}

bool CTQInputDevice::PreQueue(std::int32_t eventId)
{
    return !m_oModifiers.HasModifiers() || m_oModifiers.Process(eModifierDevicePreQueue, eventId);
}

bool CTQInputDevice::Queue(std::int32_t eventId)
{
    if (eventId == -1)
        return false;
    CTQInputServer* server = GetInputServer();
    return server && server->QueueEvent(eventId);
}

void CTQInputDevice::PostQueue(std::int32_t eventId)
{
    if (m_oModifiers.HasModifiers())
        m_oModifiers.Process(eModifierDevicePostQueue, eventId);
}

bool CTQInputDevice::QueueNewEvent(eInputEventType type, std::int32_t value, std::int32_t x, std::int32_t y,
                                   float axisValue, std::uint32_t flags)
{
    CTQInputServer* server = GetInputServer();
    if (!server || !IsActive())
        return false;
    // Made, filled and queued in one hold of the lock, so an event fed from
    // another thread is complete before the game can see it.
    CTQEventQueueLock lock(server);
    const std::int32_t eventId = NewEvent();
    CTQInputEvent* event = server->QueryEvent(eventId);
    if (!event)
        return false;
    event->SetEventType(type);
    event->SetDeviceId(m_nDeviceId);
    event->SetKey(value);
    event->SetXPos(x);
    event->SetYPos(y);
    event->SetAxisValue(axisValue);
    event->SetFlags(flags);
    server->ReleaseEvent(eventId);
    return QueueEvent(eventId);
}
