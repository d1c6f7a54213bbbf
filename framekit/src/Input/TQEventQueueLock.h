#pragma once

#include <Framekit/Input/CTQInputServer.h>

// Holds an input server's event queue lock for a scope; with no server, holds
// nothing. The lock is re-entrant, so paths that nest (a modifier queueing an
// event during a pass) take it again freely.
class CTQEventQueueLock
{
public:
    explicit CTQEventQueueLock(CTQInputServer* server) : m_pServer(server)
    {
        if (m_pServer)
            m_pServer->LockEventQueue();
    }
    ~CTQEventQueueLock()
    {
        if (m_pServer)
            m_pServer->UnlockEventQueue();
    }
    CTQEventQueueLock(const CTQEventQueueLock&) = delete;
    CTQEventQueueLock& operator=(const CTQEventQueueLock&) = delete;

private:
    CTQInputServer* m_pServer;
};
