#pragma once

#include <Plinth/PlinthExport.h>

// Diagnostics. Every message goes to one sink; the default one prints to stderr,
// and a game or a test installs its own to show, count or assert on the texts.

enum class eTQLogKind : int
{
    Log = 0,     // _TQ_Log_Fn
    Warning = 1, // Debug_Warning
    Printf = 2,  // Debug_Printf
};

struct TQLogMessage
{
    eTQLogKind kind;
    const char* sourcePath; // _TQ_Log_Fn only, else ""
    const char* caption;    // _TQ_Log_Fn only, else ""
    const char* context;    // _TQ_Log_Fn only, else ""
    int line;               // _TQ_Log_Fn only, else 0
    const char* text;       // the formatted message
};

using PFN_TQLogSink = void (*)(const TQLogMessage& message, void* user);

// Installs a sink (null restores the default) and returns the previous one.
PLINTH_API PFN_TQLogSink TQSetLogSink(PFN_TQLogSink sink, void* user = nullptr);

// The caption every Framekit message carries.
inline constexpr const char* kTQLogCaption = "Ironline Founder";

PLINTH_API void _TQ_Log_Fn(const char* sourcePath, const char* caption, const char* context, int line, int reserved,
                           int foreground, int background, const char* format, ...)
    __attribute__((format(printf, 8, 9)));
PLINTH_API void Debug_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
PLINTH_API void Debug_Warning(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The usual way to log from library code: file, caption, function and line filled in.
#define TQ_LOG(...) _TQ_Log_Fn(__FILE__, kTQLogCaption, __func__, __LINE__, 0, 15, 7, __VA_ARGS__)
