#include <FramekitHeadless/CTQHeadlessMouse.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

#include <algorithm>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessMouse, CTQMouse, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessMouse)

bool CTQHeadlessMouse::NeedsPolling() const
{
    return false;
}

bool CTQHeadlessMouse::NeedsTrigger() const
{
    return true;
}

void CTQHeadlessMouse::PlaceAt(std::int32_t x, std::int32_t y)
{
    SetXPos(std::clamp(x, 0, kMaxXPos));
    SetYPos(std::clamp(y, 0, kMaxYPos));
}

bool CTQHeadlessMouse::QueueAtPosition(eInputEventType type, std::int32_t value, float axisValue)
{
    return QueueNewEvent(type, value, GetXPos(), GetYPos(), axisValue);
}

bool CTQHeadlessMouse::MoveTo(std::int32_t x, std::int32_t y)
{
    PlaceAt(x, y);
    return QueueAtPosition(eInputEventMouseMove, 0);
}

bool CTQHeadlessMouse::MoveBy(std::int32_t dx, std::int32_t dy)
{
    UpdateMousePosition(dx, dy);
    return QueueAtPosition(eInputEventMouseMove, 0);
}

bool CTQHeadlessMouse::PressButton(std::int32_t button)
{
    return QueueAtPosition(eInputEventButtonDown, button);
}

bool CTQHeadlessMouse::ReleaseButton(std::int32_t button)
{
    return QueueAtPosition(eInputEventButtonUp, button);
}

bool CTQHeadlessMouse::Click(std::int32_t button, std::int32_t x, std::int32_t y)
{
    PlaceAt(x, y);
    const bool pressed = PressButton(button);
    const bool released = ReleaseButton(button);
    return pressed && released;
}

bool CTQHeadlessMouse::DoubleClick(std::int32_t button, std::int32_t x, std::int32_t y)
{
    const bool clicked = Click(button, x, y);
    const bool doubled = QueueAtPosition(eInputEventButtonDblClick, button);
    const bool released = ReleaseButton(button);
    return clicked && doubled && released;
}

bool CTQHeadlessMouse::Wheel(std::int32_t notches)
{
    return QueueAtPosition(eInputEventMouseWheel, notches, static_cast<float>(notches));
}
