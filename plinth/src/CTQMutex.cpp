#include <Plinth/CTQMutex.h>

#include <Plinth/Log.h>

CTQMutex::CTQMutex() : m_hMutex(SYNC_CreateMutex())
{
    if (!m_hMutex)
        TQ_LOG("CTQMutex::CTQMutex(): SYNC_CreateMutex() failed!");
}

CTQMutex::~CTQMutex()
{
    SYNC_DestroyMutex(m_hMutex);
}

void CTQMutex::Lock()
{
    SYNC_LockMutex(m_hMutex);
}

void CTQMutex::Unlock()
{
    SYNC_UnlockMutex(m_hMutex);
}
