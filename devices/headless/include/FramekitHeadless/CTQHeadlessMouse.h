#pragma once

#include <Framekit/Input/CTQMouse.h>
#include <FramekitHeadless/HeadlessExport.h>

#include <cstdint>

// A mouse without hardware: a game or a test moves and clicks it by calling
// the feeding operations, each of which queues its events at once (through
// the device's and the server's modifiers) and returns true when every event
// reached the queue. Positions are kept within the mouse's field. A device is
// fed from one thread at a time.
class FRAMEKITHEADLESS_API CTQHeadlessMouse : public CTQMouse
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessMouse)

    // Events are queued as they are fed: nothing to poll, but the device's
    // modifiers get their trigger point.
    bool NeedsPolling() const override;
    bool NeedsTrigger() const override;

    // Moves to (x, y), kept within the field: "mouse move" at the new position.
    bool MoveTo(std::int32_t x, std::int32_t y);
    // Moves by (dx, dy), kept within the field: "mouse move" at the new position.
    bool MoveBy(std::int32_t dx, std::int32_t dy);
    // "button down" / "button up" of the button at the current position.
    bool PressButton(std::int32_t button);
    bool ReleaseButton(std::int32_t button);
    // Puts the mouse at (x, y) without a move event, then presses and releases.
    bool Click(std::int32_t button, std::int32_t x, std::int32_t y);
    // As Click, then "button dblclick" and a second "button up".
    bool DoubleClick(std::int32_t button, std::int32_t x, std::int32_t y);
    // "mouse wheel" at the current position: value = notches (positive away
    // from the user), axis value = notches as a number.
    bool Wheel(std::int32_t notches);

    using CTQMouse::SetLeftHanded;

private:
    void PlaceAt(std::int32_t x, std::int32_t y);
    bool QueueAtPosition(eInputEventType type, std::int32_t value, float axisValue = 0.0f);
};
