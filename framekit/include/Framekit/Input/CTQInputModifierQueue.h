#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/TQInputTypes.h>
#include <Framekit/Input/sInputModifierEntry.h>

#include <cstdint>
#include <vector>

class CTQDataStream;
class CTQModifierDataTransport;

// The modifiers of one device or of the input server, ordered by priority,
// highest first (equal priorities keep their installation order). The queue
// holds object ids only; a modifier whose object is gone, or that is no
// CTQInputModifier, is skipped at each pass.
//
// A pass (Process) calls the modifiers installed when it began that are still
// installed when their turn comes: a modifier may install or uninstall
// modifiers, itself included, while the pass runs; modifiers installed then are
// first called by the next pass. Passes may nest (a modifier queues an event on
// the same device); the queue is busy until the outermost one ends.
//
// A queue is used by one thread at a time: the input server and its devices run
// and change their queues under the server's event queue lock.
class FRAMEKIT_API CTQInputModifierQueue
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    CTQInputModifierQueue();
    CTQInputModifierQueue(const CTQInputModifierQueue&) = delete;
    CTQInputModifierQueue& operator=(const CTQInputModifierQueue&) = delete;
    virtual ~CTQInputModifierQueue();

    virtual bool CanSerialize() const { return true; }
    // The byte 0x4C, the entry count (int32), each entry in a bracket with its
    // version, then the busy byte. Loading replaces the entries (none when the
    // first byte is not 0x4C; a count the bytes left cannot hold fails the
    // stream) and reads the busy byte without taking it over: a loaded queue is
    // idle, since no pass of the stored queue is running here.
    virtual void Serialize(CTQDataStream& s);

    // Adds the modifier with the priority; installed twice, it is called twice.
    virtual void InstallModifier(std::int32_t priority, std::int32_t modifierId);
    // Removes the first entry of the modifier; nothing when there is none.
    virtual void UninstallModifier(std::int32_t modifierId);
    virtual void UninstallAllModifiers();
    // Runs the modifiers on the event (-1 at the trigger points) until one sets
    // the transport mode to stop; true when no modifier refused the event.
    virtual bool Process(eModifierProcessingState state, std::int32_t eventId);
    virtual std::int32_t GetNumModifiers() const;
    virtual bool HasModifiers() const;
    virtual bool IsBusyWithProcessing() const;
    // A debugging walk over the entries; it produces no output.
    virtual void DumpQueue() const;

    // The entries in calling order.
    const std::vector<sInputModifierEntry>& GetEntries() const { return m_aEntries; }

protected:
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

private:
    void BeginProcessing();
    void EndProcessing();
    // 1 when a's priority is lower than b's, -1 when higher, 0 when equal.
    static int Compare(const sInputModifierEntry& a, const sInputModifierEntry& b);
    void SortEntries();
    bool IsInstalled(std::int32_t modifierId) const;
    void CallModifier(const sInputModifierEntry& entry, eModifierProcessingState state, std::int32_t eventId,
                      CTQModifierDataTransport& transport) const;

    std::vector<sInputModifierEntry> m_aEntries;
    // Passes running now, nested ones included; busy while above 0.
    std::int32_t m_nProcessingDepth = 0;
    // Changes with every change of the entries, so a pass knows when to check
    // that a modifier is still installed.
    std::uint32_t m_nGeneration = 0;
};
