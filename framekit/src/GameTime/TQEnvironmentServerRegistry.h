#pragma once

#include <cstdint>

class CTQEnvironmentServer;

// The live environment servers by handle, and which one is current.
//
// A game time keeps the handle of the server that was current when it was made,
// not a pointer: a server may be destroyed while dates made under it live on,
// and a handle of a destroyed server simply finds nothing. Handles are never
// reused within a run; 0 means none.
namespace TQEnvironmentServerRegistry
{
// Enters a new server and makes it current; returns its handle.
std::uint64_t Enter(CTQEnvironmentServer* server);
// Forgets the server; the current one becomes none only when it was this one.
void Leave(std::uint64_t handle);
// The live server of that handle, or null.
CTQEnvironmentServer* Find(std::uint64_t handle);
std::uint64_t CurrentHandle();
CTQEnvironmentServer* Current();
} // namespace TQEnvironmentServerRegistry
