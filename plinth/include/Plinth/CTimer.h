#pragma once

#include <Plinth/PlinthExport.h>

#include <cstdint>

// The current time from the installed time source (see TimeSource.h).
class PLINTH_API CTimer
{
public:
    // Seconds.
    static double GetCurTime();
    // Whole milliseconds (truncated), wrapping to 0 after 2^32 ms (about 49.7
    // days) as a 32-bit tick count does. A negative time reads as 0.
    static std::uint32_t GetCurTimeInMs();
};
