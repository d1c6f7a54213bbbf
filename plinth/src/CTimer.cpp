#include <Plinth/CTimer.h>

#include <Plinth/TimeSource.h>

#include <cmath>

namespace
{
constexpr double kTicksPerWrap = 4294967296.0;
// Decimal seconds are rarely exact in binary (1.001 * 1000 is 1000.999...); a
// nanosecond of slack keeps them from losing a millisecond to truncation.
constexpr double kTruncationSlackMs = 1e-6;

std::uint32_t SecondsToTicks(double seconds)
{
    double ms = std::floor(seconds * 1000.0 + kTruncationSlackMs);
    if (!std::isfinite(ms) || ms <= 0.0)
        return 0;
    return static_cast<std::uint32_t>(std::fmod(ms, kTicksPerWrap));
}
} // namespace

double CTimer::GetCurTime()
{
    return TQGetTimeSource()->GetSeconds();
}

std::uint32_t CTimer::GetCurTimeInMs()
{
    return SecondsToTicks(GetCurTime());
}
