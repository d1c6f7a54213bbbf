#include <Plinth/Log.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace
{
// Most messages are a line or two; longer ones take one heap buffer.
constexpr std::size_t kStackTextSize = 512;

void DefaultSink(const TQLogMessage& message, void* /*user*/)
{
    const char* text = message.text;
    std::size_t length = std::strlen(text);
    // Every message ends on a line of its own, whether or not its text brings
    // the newline; one fprintf per message keeps lines from several threads whole.
    const char* newline = (length > 0 && text[length - 1] == '\n') ? "" : "\n";
    if (message.kind == eTQLogKind::Log)
        std::fprintf(stderr, "%s: %s(%d): %s%s", message.caption, message.context, message.line, text, newline);
    else
        std::fprintf(stderr, "%s%s", text, newline);
}

struct SinkSlot
{
    PFN_TQLogSink sink = &DefaultSink;
    void* user = nullptr;
};

// The installed sink and its user pointer change together, so both sit behind
// one mutex. Dispatch copies the pair and calls the sink outside the lock: a sink
// may log again or install another sink without deadlocking. A message that was
// already being dispatched when a new sink is installed may still reach the old one.
std::mutex& SinkMutex()
{
    static std::mutex s_mutex;
    return s_mutex;
}

SinkSlot& CurrentSlot()
{
    static SinkSlot s_slot;
    return s_slot;
}

SinkSlot SnapshotSink()
{
    std::lock_guard<std::mutex> lock(SinkMutex());
    return CurrentSlot();
}

void Dispatch(TQLogMessage& message, const char* format, va_list args)
{
    if (format == nullptr)
        format = "";
    char stackText[kStackTextSize];
    std::unique_ptr<char[]> heapText;

    va_list measure;
    va_copy(measure, args);
    int needed = std::vsnprintf(stackText, sizeof stackText, format, measure);
    va_end(measure);

    if (needed < 0)
        message.text = format; // an encoding error: show the pattern rather than nothing
    else if (static_cast<std::size_t>(needed) < sizeof stackText)
        message.text = stackText;
    else
    {
        std::size_t size = static_cast<std::size_t>(needed) + 1;
        heapText.reset(new char[size]);
        std::vsnprintf(heapText.get(), size, format, args);
        message.text = heapText.get();
    }

    SinkSlot slot = SnapshotSink();
    slot.sink(message, slot.user);
}

const char* OrEmpty(const char* text)
{
    return text ? text : "";
}
} // namespace

PFN_TQLogSink TQSetLogSink(PFN_TQLogSink sink, void* user)
{
    std::lock_guard<std::mutex> lock(SinkMutex());
    SinkSlot& slot = CurrentSlot();
    PFN_TQLogSink previous = slot.sink;
    slot.sink = sink ? sink : &DefaultSink;
    slot.user = sink ? user : nullptr;
    return previous;
}

void _TQ_Log_Fn(const char* sourcePath, const char* caption, const char* context, int line, int /*reserved*/,
                int /*foreground*/, int /*background*/, const char* format, ...)
{
    // The colour numbers were meant for a console window; the sink decides how
    // messages look, so they are not passed on.
    TQLogMessage message{eTQLogKind::Log, OrEmpty(sourcePath), OrEmpty(caption), OrEmpty(context), line, ""};
    va_list args;
    va_start(args, format);
    Dispatch(message, format, args);
    va_end(args);
}

void Debug_Printf(const char* format, ...)
{
    TQLogMessage message{eTQLogKind::Printf, "", "", "", 0, ""};
    va_list args;
    va_start(args, format);
    Dispatch(message, format, args);
    va_end(args);
}

void Debug_Warning(const char* format, ...)
{
    TQLogMessage message{eTQLogKind::Warning, "", "", "", 0, ""};
    va_list args;
    va_start(args, format);
    Dispatch(message, format, args);
    va_end(args);
}
