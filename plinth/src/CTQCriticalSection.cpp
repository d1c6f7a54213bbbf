#include <Plinth/CTQCriticalSection.h>

void CTQCriticalSection::Enter()
{
    m_oMutex.lock();
}

void CTQCriticalSection::Leave()
{
    m_oMutex.unlock();
}

bool CTQCriticalSection::TryEnter()
{
    return m_oMutex.try_lock();
}
