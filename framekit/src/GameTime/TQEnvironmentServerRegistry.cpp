#include "TQEnvironmentServerRegistry.h"

#include <map>
#include <mutex>

namespace
{
struct SRegistry
{
    std::mutex oMutex;
    std::map<std::uint64_t, CTQEnvironmentServer*> oLive;
    std::uint64_t nNextHandle = 1;
    std::uint64_t nCurrent = 0;
};

// Built on first use, so a server constructed during static initialisation
// finds it; never destroyed, so one destroyed during static destruction does too.
SRegistry& Registry()
{
    static SRegistry* s_pRegistry = new SRegistry();
    return *s_pRegistry;
}

CTQEnvironmentServer* FindLocked(SRegistry& registry, std::uint64_t handle)
{
    auto it = registry.oLive.find(handle);
    return it == registry.oLive.end() ? nullptr : it->second;
}
} // namespace

std::uint64_t TQEnvironmentServerRegistry::Enter(CTQEnvironmentServer* server)
{
    SRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.oMutex);
    const std::uint64_t handle = registry.nNextHandle++;
    registry.oLive[handle] = server;
    registry.nCurrent = handle;
    return handle;
}

void TQEnvironmentServerRegistry::Leave(std::uint64_t handle)
{
    SRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.oMutex);
    registry.oLive.erase(handle);
    if (registry.nCurrent == handle)
        registry.nCurrent = 0;
}

CTQEnvironmentServer* TQEnvironmentServerRegistry::Find(std::uint64_t handle)
{
    SRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.oMutex);
    return FindLocked(registry, handle);
}

std::uint64_t TQEnvironmentServerRegistry::CurrentHandle()
{
    SRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.oMutex);
    return registry.nCurrent;
}

CTQEnvironmentServer* TQEnvironmentServerRegistry::Current()
{
    SRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.oMutex);
    return FindLocked(registry, registry.nCurrent);
}
