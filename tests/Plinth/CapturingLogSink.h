#pragma once

#include <Plinth/Log.h>

#include <mutex>
#include <string>
#include <vector>

// Installs itself as the log sink for its lifetime and keeps a copy of every
// message; the previous sink comes back when it goes.
class CapturingLogSink
{
public:
    struct Entry
    {
        eTQLogKind kind;
        std::string caption;
        std::string context;
        int line;
        std::string text;
    };

    CapturingLogSink() { m_pfnPrevious = TQSetLogSink(&Capture, this); }
    ~CapturingLogSink() { TQSetLogSink(m_pfnPrevious); }
    CapturingLogSink(const CapturingLogSink&) = delete;
    CapturingLogSink& operator=(const CapturingLogSink&) = delete;

    std::vector<Entry> Entries() const
    {
        std::lock_guard<std::mutex> lock(m_oMutex);
        return m_aEntries;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Entry& entry : Entries())
            texts.push_back(entry.text);
        return texts;
    }
    // Whether any message so far holds the text.
    bool Contains(const char* text) const
    {
        for (const Entry& entry : Entries())
            if (entry.text.find(text) != std::string::npos)
                return true;
        return false;
    }

private:
    static void Capture(const TQLogMessage& message, void* user)
    {
        auto* self = static_cast<CapturingLogSink*>(user);
        std::lock_guard<std::mutex> lock(self->m_oMutex);
        self->m_aEntries.push_back({message.kind, message.caption, message.context, message.line, message.text});
    }

    mutable std::mutex m_oMutex;
    std::vector<Entry> m_aEntries;
    PFN_TQLogSink m_pfnPrevious = nullptr;
};
