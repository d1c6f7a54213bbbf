#include <Plinth/CTQEvent.h>

#include <Plinth/Log.h>

CTQEvent::CTQEvent(bool manualReset, bool initiallySignalled)
    : m_hEvent(SYNC_CreateEvent(manualReset, initiallySignalled))
{
    if (!m_hEvent)
        TQ_LOG("CTQEvent::CTQEvent(): SYNC_CreateEvent() failed!");
}

CTQEvent::~CTQEvent()
{
    SYNC_DestroyEvent(m_hEvent);
}

void CTQEvent::Signal()
{
    SYNC_SignalEvent(m_hEvent);
}

void CTQEvent::Reset()
{
    SYNC_ResetEvent(m_hEvent);
}

bool CTQEvent::Wait(std::uint32_t milliseconds)
{
    return SYNC_TimedWaitEvent(m_hEvent, milliseconds);
}
