#include <Framekit/Input/CTQMouse.h>

#include <algorithm>

TQ_IMPLEMENT_CLASS_TYPE(CTQMouse, CTQInputDevice, kTQDefaultDataFormatVersion)

namespace
{
// Wide arithmetic: a huge motion must clamp, not wrap.
std::int32_t MoveWithin(std::int32_t position, int delta, std::int32_t maximum)
{
    const std::int64_t moved = static_cast<std::int64_t>(position) + delta;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(moved, 0, maximum));
}
} // namespace

void CTQMouse::UpdateMousePosition(int dx, int dy)
{
    m_nXPos = MoveWithin(m_nXPos, dx, kMaxXPos);
    m_nYPos = MoveWithin(m_nYPos, dy, kMaxYPos);
}
