#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputModifierQueue.h>
#include <Framekit/Input/CTQInputObject.h>
#include <Plinth/CTQCriticalSection.h>

#include <cstdint>
#include <map>
#include <vector>

class CTQClassType;
class CTQInputDevice;
class CTQInputEvent;

// Collects the events of all input devices into one queue that the game reads
// once per frame. There is one input server: the last one constructed is the
// current one (TQGetInputServer) until it is destroyed.
//
// Devices are objects of the object database, entered here under a device id.
// Events are made here (NewEvent) and live in the server's event table until
// their last reference goes; the queue holds one reference on each queued event.
// An event's way through the server: the server's modifiers before queueing
// (point 3; refused events are released at once), the queue, the modifiers
// after queueing (point 4). Trigger runs the device walk and the modifiers'
// trigger point (5). While a server pass runs, events queued by its modifiers
// (the recorder's playback) go straight to the queue.
//
// Threads: devices may make and queue events from other threads. The event
// table, the queue, the id counters and every modifier pass (the server's and
// the devices') are used under the event queue lock, a re-entrant critical
// section; the game brackets its walk over the queue with LockEventQueue and
// UnlockEventQueue. Trigger holds the lock while it polls and triggers the
// devices, so a device's Poll must not wait for a thread that is queueing.
// Device entries are the game thread's. Device threads must stop before the
// server is destroyed.
class FRAMEKIT_API CTQInputServer : public CTQInputObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQInputServer)

    // The new server becomes the current one.
    CTQInputServer();
    CTQInputServer(const CTQInputServer&) = delete;
    CTQInputServer& operator=(const CTQInputServer&) = delete;
    // Releases the queued events and destroys the events still in the table;
    // stops being current if it is.
    ~CTQInputServer() override;

    // The CTQInputObject part in a bracket; loading then flushes the queue.
    // Devices, events and modifiers are not stored.
    void Serialize(CTQDataStream& s) override;

    // The device layer: makes its devices and enters them (AddDevice), and
    // takes them away again.
    virtual bool CreateDevices() = 0;
    virtual void DestroyDevices() = 0;

    virtual std::int32_t GetNumDevices() const;
    // Devices of the type or of a type derived from it.
    virtual std::int32_t GetNumDevicesOfType(const CTQClassType& type) const;
    // The device with a reference taken in the object database; null for an
    // unknown id or an object that is no device. Pair with ReleaseDevice.
    virtual CTQInputDevice* QueryDevice(std::int32_t deviceId);
    // Releases a QueryDevice reference; the entry goes when no reference is left.
    virtual void ReleaseDevice(std::int32_t deviceId);
    // Device ids in ascending order; position is opaque to the caller. Entries
    // removed during the walk are skipped safely.
    virtual bool GetFirstDevice(std::int32_t& position, std::int32_t& deviceId) const;
    virtual bool GetNextDevice(std::int32_t& position, std::int32_t& deviceId) const;
    // Focus is the device layer's business; here they do nothing.
    virtual void ObtainFocus();
    virtual void LoseFocus();
    virtual bool HasFocus() const;

    // A new event with the next unique event id, entered in the event table
    // with the creator's reference; -1 when no event can be made.
    virtual std::int32_t NewEvent();
    // Runs the event's way through the server; true when it reached the queue.
    // -1 and unknown ids are ignored (no modifier sees them).
    virtual bool QueueEvent(std::int32_t eventId);
    virtual void LockEventQueue();
    virtual void UnlockEventQueue();
    // index 0; false (index 0, event id -1) when the queue is empty.
    virtual bool GetFirstEventInQueue(std::int32_t& index, std::int32_t& eventId);
    // index + 1; false past the end or for an index that is out of range.
    virtual bool GetNextEventInQueue(std::int32_t& index, std::int32_t& eventId);
    // Removes the entry at index, moves index back by one (so that the next
    // GetNextEventInQueue lands on the following entry) and releases the
    // queue's reference. False, and nothing done, for an index out of range.
    virtual bool RemoveEventFromQueue(std::int32_t& index);
    virtual void FlushEventQueue();
    // The event with a reference added, or null.
    virtual CTQInputEvent* QueryEvent(std::int32_t eventId);
    // Releases one reference; the event leaves the table with its last one.
    virtual void ReleaseEvent(std::int32_t eventId);
    // Once per frame: polls and triggers the active devices in device id
    // order, then runs the server's modifiers at the trigger point.
    virtual void Trigger();

    // Enters the device object under the device id (replacing an entry) and
    // gives the device that id. False, and nothing entered, when the object is
    // missing or no CTQInputDevice, or the id is negative.
    bool AddDevice(std::int32_t deviceId, std::int32_t objectId);
    void RemoveDevice(std::int32_t deviceId);
    // Enters an event under an id, taking over the caller's reference. False
    // for a null event, a negative id or one already in use.
    bool AddEvent(std::int32_t eventId, CTQInputEvent* event);
    // Takes the entry out of the table without releasing the event.
    void RemoveEvent(std::int32_t eventId);
    void InstallModifier(std::int32_t priority, std::int32_t modifierId);
    void UninstallModifier(std::int32_t modifierId);
    std::int32_t GetNumModifiers() const;
    std::int32_t GetNumEventsInQueue() const;
    // Events in the table: queued ones and those still held by someone.
    std::int32_t GetNumEvents() const;
    bool HasEvent(std::int32_t eventId) const;

    // Process-wide counters from 0 upwards; ids are never reused. -1 once the
    // 32-bit range is used up.
    static std::int32_t GetUniqueDeviceId();
    static std::int32_t GetUniqueEventId();

protected:
    // The server's modifiers at point 3, unless a server pass is running.
    virtual bool PreQueue(std::int32_t eventId);
    // Appends the id to the queue, which keeps the creator's reference.
    virtual void Queue(std::int32_t eventId);
    // The server's modifiers at point 4, unless a server pass is running.
    virtual void PostQueue(std::int32_t eventId);

private:
    bool RunsServerModifiers() const;
    CTQObjectDatabase* GetObjectDatabase() const;
    void TriggerDevice(std::int32_t deviceId);
    void DestroyRemainingEvents();

    // Device id -> object id in the object database.
    std::map<std::int32_t, std::int32_t> m_oDevices;
    std::map<std::int32_t, CTQInputEvent*> m_oEvents;
    // Event ids in arrival order.
    std::vector<std::int32_t> m_aEventQueue;
    mutable CTQCriticalSection m_oQueueLock;
    CTQInputModifierQueue m_oModifiers;
};

// The current input server, or null.
FRAMEKIT_API CTQInputServer* TQGetInputServer();
