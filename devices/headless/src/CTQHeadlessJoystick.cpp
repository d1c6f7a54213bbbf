#include <FramekitHeadless/CTQHeadlessJoystick.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessJoystick, CTQJoystick, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessJoystick)

bool CTQHeadlessJoystick::NeedsPolling() const
{
    return false;
}

bool CTQHeadlessJoystick::NeedsTrigger() const
{
    return true;
}

bool CTQHeadlessJoystick::PushAxis(std::int32_t axis, float position)
{
    return QueueNewEvent(eInputEventAxis, axis, 0, 0, position);
}

bool CTQHeadlessJoystick::PressButton(std::int32_t button)
{
    return QueueNewEvent(eInputEventButtonDown, button);
}

bool CTQHeadlessJoystick::ReleaseButton(std::int32_t button)
{
    return QueueNewEvent(eInputEventButtonUp, button);
}
