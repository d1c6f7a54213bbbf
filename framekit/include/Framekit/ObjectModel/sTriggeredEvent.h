#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQDataStream;

// One event waiting in the event handler's queue.
struct FRAMEKIT_API sTriggeredEvent
{
    std::int32_t nEventId = 0;
    // Seconds on CTimer::GetCurTime()'s clock.
    double fDueTime = 0.0;
    // An object database id; a negative id is never delivered.
    std::int32_t nTargetId = -1;
    std::int32_t nParam1 = 0;
    std::uint32_t nParam2 = 0;
    std::uint32_t nParam3 = 0;
    std::uint32_t nParam4 = 0;
    std::uint32_t nParam5 = 0;

    // The event handler's version: the record is saved as part of its queue.
    static int GetDataFormatVersion();
    // Event id (4 bytes), due time (8), target id (4), parameter 1 (4), then
    // parameters 2 to 5 (4 each).
    void Serialize(CTQDataStream& s);
};
