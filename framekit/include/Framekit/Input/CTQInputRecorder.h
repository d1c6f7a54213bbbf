#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputModifier.h>

#include <cstdint>
#include <memory>

class CFileIO;
class CTQString;

// Records the events that reach the input server to a text file, with their
// times, and plays such a file back later as if the devices sent the events,
// with the timing they were recorded with. Installed in the server's modifier
// queue: it records at the server's point before queueing and plays at the
// server's trigger point; while it plays, live events are discarded.
//
// The file holds one record per line, each value followed by ';' and the line
// ended by "\r\n":
//     time;device id;name;fields...;
// time is in seconds from the start of the recording; the name is one of "key
// down", "key up", "key char" (then the value), "mouse move" (x, y), "mouse
// wheel" (x, y, value, axis value), "button down", "button up", "button
// dblclick" (value, x, y); names are read in any case. Events of a type without
// a name are not recorded.
//
// A recording is untrusted input. A record that is cut short, lacks a field,
// has a field too many, a number that does not parse, a time that is not a
// finite number or a name that is unknown stops playback where it stands
// (state stopped); the records before it have been played. At most
// kMaxRecordsPerTrigger records are played in one trigger, so a file with a
// great many records due at once cannot stall a frame.
//
// Times come from CTimer::GetCurTime(); the cursor is placed through
// SYS_SetCursorPos. Record, Play and Stop take the server's event queue lock
// (when there is a server), as the modifier passes that record and play do.
class FRAMEKIT_API CTQInputRecorder : public CTQInputModifier
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQInputRecorder)

    enum eState : std::int32_t
    {
        eIdle = 0,
        eRecording = 1,
        ePlaying = 2,
        eEndReached = 3,
        eStopped = 4,
    };

    static constexpr int kMaxRecordsPerTrigger = 1024;

    CTQInputRecorder();
    CTQInputRecorder(const CTQInputRecorder&) = delete;
    CTQInputRecorder& operator=(const CTQInputRecorder&) = delete;
    ~CTQInputRecorder() override;

    // Opens the file for writing and starts recording; false, with the file
    // error reported and everything as it was (a recording or playback that
    // runs goes on), when the file cannot be opened.
    virtual bool Record(const CTQString& fileName);
    // Opens the file for reading and starts playing; false as Record.
    virtual bool Play(const CTQString& fileName);
    // Closes the file; the state becomes stopped and both start times 0.
    virtual void Stop();
    void Execute(eModifierProcessingState state, std::int32_t eventId, CTQModifierDataTransport& transport) override;

    eState GetState() const { return m_eState; }
    bool IsRecording() const { return m_eState == eRecording; }
    bool IsPlaying() const { return m_eState == ePlaying; }

private:
    bool Open(const CTQString& fileName, int mode, eState state, double& startTime);
    void DoRecord(std::int32_t eventId);
    void DoPlay();
    // Plays the next record if it is due; false when playback must wait or has ended.
    bool PlayNextRecord();
    void StopWithWarning(const char* reason);

    // Open exactly while recording or playing.
    std::unique_ptr<CFileIO> m_pFile;
    eState m_eState = eIdle;
    double m_fPlayStartTime = 0.0;
    double m_fRecordStartTime = 0.0;
};
