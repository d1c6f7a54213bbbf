#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputModifierQueue.h>
#include <Framekit/Input/CTQInputObject.h>
#include <Framekit/Input/TQInputTypes.h>

#include <cstdint>

class CTQInputServer;

// An input device: the logic and settings of a mouse, keyboard or joystick.
// Reading the hardware belongs to classes a device layer derives from the
// concrete devices; they make events with NewEvent, fill them and hand them on
// with QueueEvent, or do all three with QueueNewEvent.
//
// An event's way through the device: the device's modifiers before queueing
// (point 0; refused events are released at once), the server's QueueEvent,
// the device's modifiers after queueing (point 1).
//
// A device works with the current input server (TQGetInputServer), looked up
// at each use. Its event path and its modifier queue are used under the
// server's event queue lock, so a device layer may feed events from its own
// threads.
class FRAMEKIT_API CTQInputDevice : public CTQInputObject
{
    // The server gives the device its id when it is added.
    friend class CTQInputServer;

public:
    TQ_DECLARE_CLASS_TYPE(CTQInputDevice)

    CTQInputDevice();
    ~CTQInputDevice() override;

    // Hooks for the device layer; the defaults do nothing (Create succeeds).
    virtual bool Create();
    virtual void Destroy();
    virtual void Reset();
    virtual void Poll();
    // Runs the device's modifiers at the device trigger point (event id -1).
    virtual void Trigger();
    virtual void SetActive(bool active);
    // SetActive(true) and SetActive(false).
    virtual void Activate();
    virtual void Deactivate();
    // Asked by the server's Trigger before it polls and before it triggers the device.
    virtual bool NeedsPolling() const = 0;
    virtual bool NeedsTrigger() const = 0;
    // -1 until the server assigns one.
    virtual std::int32_t GetDeviceId() const;
    virtual bool IsActive() const;

    void InstallModifier(std::int32_t priority, std::int32_t modifierId);
    void UninstallModifier(std::int32_t modifierId);
    std::int32_t GetNumModifiers() const;

protected:
    virtual void SetDeviceId(std::int32_t deviceId);
    // A new event from the server; -1 when there is no server or no event.
    virtual std::int32_t NewEvent();
    virtual void ReleaseEvent(std::int32_t eventId);
    // True when the event reached the server's queue. -1 and ids the server
    // does not know are ignored; a refused event is released.
    virtual bool QueueEvent(std::int32_t eventId);
    virtual bool PreQueue(std::int32_t eventId);
    virtual bool Queue(std::int32_t eventId);
    virtual void PostQueue(std::int32_t eventId);

    // Makes an event of this device with the given data and queues it; true
    // when it reached the queue. An inactive device queues nothing.
    bool QueueNewEvent(eInputEventType type, std::int32_t value, std::int32_t x = 0, std::int32_t y = 0,
                       float axisValue = 0.0f, std::uint32_t flags = 0);
    CTQInputServer* GetInputServer() const;

private:
    std::int32_t m_nDeviceId = -1;
    bool m_bActive = true;
    CTQInputModifierQueue m_oModifiers;
};
