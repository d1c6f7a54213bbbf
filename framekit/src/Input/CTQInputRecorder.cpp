#include <Framekit/Input/CTQInputRecorder.h>

#include <Framekit/Input/CTQInputEvent.h>
#include <Framekit/Input/CTQInputServer.h>
#include <Framekit/Input/CTQModifierDataTransport.h>
#include <Plinth/CFileIO.h>
#include <Plinth/CFileIOException.h>
#include <Plinth/CTimer.h>
#include <Plinth/CXfsException.h>
#include <Plinth/Log.h>
#include <Plinth/SystemHooks.h>

#include "TQEventQueueLock.h"

#include <cmath>

TQ_IMPLEMENT_CLASS_TYPE(CTQInputRecorder, CTQInputModifier, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQInputRecorder)

namespace
{
// Which fields follow the name, in file order.
enum class eLayout
{
    Value,       // value
    Position,    // x, y
    Wheel,       // x, y, value, axis value
    ButtonClick, // value, x, y
};

struct sRecordKind
{
    eInputEventType eType;
    const char* pszName;
    eLayout eFields;
};

constexpr sRecordKind kRecordKinds[] = {
    {eInputEventKeyDown, "key down", eLayout::Value},
    {eInputEventKeyUp, "key up", eLayout::Value},
    {eInputEventKeyChar, "key char", eLayout::Value},
    {eInputEventMouseMove, "mouse move", eLayout::Position},
    {eInputEventMouseWheel, "mouse wheel", eLayout::Wheel},
    {eInputEventButtonDown, "button down", eLayout::ButtonClick},
    {eInputEventButtonUp, "button up", eLayout::ButtonClick},
    {eInputEventButtonDblClick, "button dblclick", eLayout::ButtonClick},
};

const sRecordKind* KindOf(eInputEventType type)
{
    for (const sRecordKind& kind : kRecordKinds)
        if (kind.eType == type)
            return &kind;
    return nullptr;
}

// name must be in lower case.
const sRecordKind* KindOf(const CTQString& name)
{
    for (const sRecordKind& kind : kRecordKinds)
        if (name == kind.pszName)
            return &kind;
    return nullptr;
}

// Every named kind but the key events has a position: the cursor follows it.
bool MovesCursor(const sRecordKind& kind)
{
    return kind.eFields != eLayout::Value;
}

// One record as read from a recording, before it becomes an event.
struct sRecord
{
    float fTime = 0.0f;
    std::int32_t nDeviceId = -1;
    const sRecordKind* pKind = nullptr;
    std::int32_t nValue = 0;
    std::int32_t nX = 0;
    std::int32_t nY = 0;
    float fAxisValue = 0.0f;
};

// ---- Writing -------------------------------------------------------------------------------------------

bool WriteFields(CFileIO& file, const sRecordKind& kind, const CTQInputEvent& event)
{
    switch (kind.eFields)
    {
    case eLayout::Value:
        return file.WriteTextInt(event.GetKey());
    case eLayout::Position:
        return file.WriteTextInt(event.GetXPos()) && file.WriteTextInt(event.GetYPos());
    case eLayout::Wheel:
        return file.WriteTextInt(event.GetXPos()) && file.WriteTextInt(event.GetYPos()) &&
               file.WriteTextInt(event.GetKey()) && file.WriteTextFloat(event.GetAxisValue());
    case eLayout::ButtonClick:
        return file.WriteTextInt(event.GetButton()) && file.WriteTextInt(event.GetXPos()) &&
               file.WriteTextInt(event.GetYPos());
    }
    return false;
}

bool WriteRecord(CFileIO& file, const sRecordKind& kind, const CTQInputEvent& event, double startTime)
{
    const auto time = static_cast<float>(event.GetTimeStamp() - startTime);
    return file.WriteTextFloat(time) && file.WriteTextLong(event.GetDeviceId()) &&
           file.WriteTextString(kind.pszName) && WriteFields(file, kind, event) && file.WriteText("\r\n") &&
           file.Flush();
}

// ---- Reading -------------------------------------------------------------------------------------------

// Whether only spaces and tabs stand between the position and the end of the
// line or of the file. The delimited reads skip line ends before a value, so
// every field after the time is guarded by this: a field missing from a record
// must not be taken from the next line.
bool AtLineEnd(CFileIO& file)
{
    const std::int32_t start = file.GetPosition();
    bool atEnd = true;
    char c = 0;
    while (file.ReadTokenChar(c))
    {
        if (c != ' ' && c != '\t')
        {
            atEnd = c == '\r' || c == '\n';
            break;
        }
    }
    file.Seek(start, CFileIO::eSeekBegin);
    return atEnd;
}

bool ReadInt(CFileIO& file, std::int32_t& value)
{
    int read = 0;
    if (AtLineEnd(file) || !file.ReadTextInt(read))
        return false;
    value = read;
    return true;
}

bool ReadFloat(CFileIO& file, float& value)
{
    return !AtLineEnd(file) && file.ReadTextFloat(value) && std::isfinite(value);
}

bool ReadFields(CFileIO& file, sRecord& record)
{
    switch (record.pKind->eFields)
    {
    case eLayout::Value:
        return ReadInt(file, record.nValue);
    case eLayout::Position:
        return ReadInt(file, record.nX) && ReadInt(file, record.nY);
    case eLayout::Wheel:
        return ReadInt(file, record.nX) && ReadInt(file, record.nY) && ReadInt(file, record.nValue) &&
               ReadFloat(file, record.fAxisValue);
    case eLayout::ButtonClick:
        return ReadInt(file, record.nValue) && ReadInt(file, record.nX) && ReadInt(file, record.nY);
    }
    return false;
}

// Everything of the record after its time, up to the end of its line.
bool ReadRecordBody(CFileIO& file, sRecord& record)
{
    CTQString name;
    if (AtLineEnd(file) || !file.ReadTextLong(record.nDeviceId))
        return false;
    if (AtLineEnd(file) || !file.ReadTextString(name))
        return false;
    name.MakeLower();
    record.pKind = KindOf(name);
    return record.pKind && ReadFields(file, record) && AtLineEnd(file);
}

void FillEvent(CTQInputEvent& event, const sRecord& record, double playStartTime)
{
    event.SetEventType(record.pKind->eType);
    event.SetDeviceId(record.nDeviceId);
    event.SetKey(record.nValue);
    event.SetXPos(record.nX);
    event.SetYPos(record.nY);
    event.SetAxisValue(record.fAxisValue);
    // The time the event had in the recording, on this run's clock.
    event.SetTimeStamp(playStartTime + record.fTime);
}
} // namespace

CTQInputRecorder::CTQInputRecorder() = default;
CTQInputRecorder::~CTQInputRecorder() = default;

bool CTQInputRecorder::Open(const CTQString& fileName, int mode, eState state, double& startTime)
{
    CTQEventQueueLock lock(GetInputServer());
    // A new file object: until it is open, the one in use (if any) stays as it is.
    auto file = std::make_unique<CFileIO>();
    try
    {
        if (!file->Open(fileName.GetString(), mode))
            return false;
    }
    catch (CFileIOException* e)
    {
        e->ReportError();
        e->Delete();
        return false;
    }
    catch (CXfsException* e)
    {
        e->ReportError();
        e->Delete();
        return false;
    }
    // The previous file, if any, is closed here.
    m_pFile = std::move(file);
    m_eState = state;
    startTime = CTimer::GetCurTime();
    return true;
}

bool CTQInputRecorder::Record(const CTQString& fileName)
{
    return Open(fileName, CFileIO::eWrite, eRecording, m_fRecordStartTime);
}

bool CTQInputRecorder::Play(const CTQString& fileName)
{
    return Open(fileName, CFileIO::eRead, ePlaying, m_fPlayStartTime);
}

void CTQInputRecorder::Stop()
{
    CTQEventQueueLock lock(GetInputServer());
    m_pFile.reset();
    m_eState = eStopped;
    m_fPlayStartTime = 0.0;
    m_fRecordStartTime = 0.0;
}

void CTQInputRecorder::StopWithWarning(const char* reason)
{
    Debug_Warning("CTQInputRecorder: %s; stopped", reason);
    Stop();
}

void CTQInputRecorder::Execute(eModifierProcessingState state, std::int32_t eventId,
                               CTQModifierDataTransport& transport)
{
    if (m_eState == ePlaying)
        transport.SetResult(eModifierResultDiscard);
    if (state == eModifierServerPreQueue && m_eState == eRecording)
        DoRecord(eventId);
    else if (state == eModifierServerTrigger && m_eState == ePlaying)
        DoPlay();
}

void CTQInputRecorder::DoRecord(std::int32_t eventId)
{
    CTQInputServer* server = GetInputServer();
    CTQInputEvent* event = server ? server->QueryEvent(eventId) : nullptr;
    if (!event)
        return;
    // Types without a name could not be played back: they are left out.
    if (const sRecordKind* kind = KindOf(event->GetEventType()))
    {
        if (!WriteRecord(*m_pFile, *kind, *event, m_fRecordStartTime))
            StopWithWarning("the recording cannot be written");
    }
    server->ReleaseEvent(eventId);
}

void CTQInputRecorder::DoPlay()
{
    for (int played = 0; played < kMaxRecordsPerTrigger && m_eState == ePlaying; ++played)
    {
        if (!PlayNextRecord())
            return;
    }
}

bool CTQInputRecorder::PlayNextRecord()
{
    CFileIO& file = *m_pFile;
    if (file.IsEOF())
    {
        m_eState = eEndReached;
        Stop();
        return false;
    }
    sRecord record;
    if (!file.ReadTextFloat(record.fTime) || !std::isfinite(record.fTime))
    {
        StopWithWarning("a record's time cannot be read");
        return false;
    }
    // Compared at the file's precision: a time written as a float is due at
    // the elapsed time it was written for.
    const auto elapsed = static_cast<float>(CTimer::GetCurTime() - m_fPlayStartTime);
    if (record.fTime > elapsed)
    {
        if (!file.StepBack())
            StopWithWarning("the recording cannot be stepped back");
        return false;
    }
    if (!ReadRecordBody(file, record))
    {
        StopWithWarning("a record is malformed or of an unknown kind");
        return false;
    }
    CTQInputServer* server = GetInputServer();
    const std::int32_t eventId = server ? server->NewEvent() : -1;
    CTQInputEvent* event = server ? server->QueryEvent(eventId) : nullptr;
    if (!event)
    {
        StopWithWarning("no event can be made");
        return false;
    }
    FillEvent(*event, record, m_fPlayStartTime);
    if (MovesCursor(*record.pKind))
        SYS_SetCursorPos(record.nX, record.nY);
    // The server's modifiers are running this pass, so the event goes
    // straight to the queue.
    server->QueueEvent(eventId);
    server->ReleaseEvent(eventId);
    return true;
}
