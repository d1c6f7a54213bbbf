#include <Plinth/SystemHooks.h>

#include <Plinth/CTimer.h>
#include <Plinth/Log.h>

#include <atomic>

namespace
{
int DefaultMessageBox(const char* text, const char* caption, std::uint32_t /*flags*/)
{
    _TQ_Log_Fn(__FILE__, caption ? caption : "", "SYS_MessageBox", __LINE__, 0, 15, 7, "%s", text ? text : "");
    return kSysAnswerOk;
}

bool DefaultSetCursorPos(int /*x*/, int /*y*/)
{
    return true;
}

std::atomic<PFN_SYSMessageBox> g_pfnMessageBox{&DefaultMessageBox};
std::atomic<PFN_SYSSetCursorPos> g_pfnSetCursorPos{&DefaultSetCursorPos};
} // namespace

std::uint32_t SYS_GetTickCount()
{
    return CTimer::GetCurTimeInMs();
}

int SYS_MessageBox(const char* text, const char* caption, std::uint32_t flags)
{
    return g_pfnMessageBox.load()(text, caption, flags);
}

bool SYS_SetCursorPos(int x, int y)
{
    return g_pfnSetCursorPos.load()(x, y);
}

PFN_SYSMessageBox SYS_SetMessageBoxHook(PFN_SYSMessageBox hook)
{
    return g_pfnMessageBox.exchange(hook ? hook : &DefaultMessageBox);
}

PFN_SYSSetCursorPos SYS_SetCursorPosHook(PFN_SYSSetCursorPos hook)
{
    return g_pfnSetCursorPos.exchange(hook ? hook : &DefaultSetCursorPos);
}
