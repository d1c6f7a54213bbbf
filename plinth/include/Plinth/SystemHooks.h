#pragma once

#include <Plinth/PlinthExport.h>

#include <cstdint>

// The few operating-system services the library calls, behind replaceable
// hooks. The defaults do no system work: a game installs hooks that show real
// message boxes and move the real cursor.

// Message box buttons (flags) and the answer the default gives.
inline constexpr std::uint32_t kSysMessageBoxOk = 0x0;
inline constexpr int kSysAnswerOk = 1;

using PFN_SYSMessageBox = int (*)(const char* text, const char* caption, std::uint32_t flags);
using PFN_SYSSetCursorPos = bool (*)(int x, int y);

// Milliseconds from the installed time source (CTimer::GetCurTimeInMs).
PLINTH_API std::uint32_t SYS_GetTickCount();

// Shows a message and returns the answer. The default sends the text to the
// log sink (_TQ_Log_Fn, with the message box's caption as the caption) and
// answers kSysAnswerOk.
PLINTH_API int SYS_MessageBox(const char* text, const char* caption, std::uint32_t flags);
// Places the system cursor; the default does nothing and returns true.
PLINTH_API bool SYS_SetCursorPos(int x, int y);

// Install a hook (null restores the default) and return the previous one.
PLINTH_API PFN_SYSMessageBox SYS_SetMessageBoxHook(PFN_SYSMessageBox hook);
PLINTH_API PFN_SYSSetCursorPos SYS_SetCursorPosHook(PFN_SYSSetCursorPos hook);
