#pragma once

#include <Framekit/Input/CTQJoystick.h>
#include <FramekitHeadless/HeadlessExport.h>

#include <cstdint>

// A joystick without hardware: a game or a test moves its axes and presses its
// buttons by calling the feeding operations, each of which queues its event at
// once and returns true when it reached the queue. A device is fed from one
// thread at a time.
class FRAMEKITHEADLESS_API CTQHeadlessJoystick : public CTQJoystick
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessJoystick)

    bool NeedsPolling() const override;
    bool NeedsTrigger() const override;

    // An eInputEventAxis event: value = axis index, axis value = position.
    bool PushAxis(std::int32_t axis, float position);
    // "button down" / "button up" of the button (x and y 0).
    bool PressButton(std::int32_t button);
    bool ReleaseButton(std::int32_t button);
};
