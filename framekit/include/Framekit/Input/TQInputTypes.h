#pragma once

#include <cstdint>

// The numbers of the input subsystem. Event types and processing points are
// written to recordings and passed between devices, modifiers and the server;
// their values must not change.

// What an input event reports. The recorder writes the named types by name.
enum eInputEventType : std::int32_t
{
    eInputEventNone = 0,
    eInputEventKeyDown = 1,        // "key down": value = key
    eInputEventKeyUp = 2,          // "key up": value = key
    eInputEventKeyChar = 3,        // "key char": value = character
    eInputEventMouseMove = 4,      // "mouse move": x, y
    eInputEventMouseWheel = 5,     // "mouse wheel": x, y, value = notches, axis value
    eInputEventAxis = 6,           // joystick axis: value = axis index, axis value = position (no recorded name)
    eInputEventButtonDown = 7,     // "button down": value = button, x, y
    eInputEventButtonUp = 8,       // "button up": value = button, x, y
    eInputEventButtonDblClick = 9, // "button dblclick": value = button, x, y
};

// Key codes carried by key events. Letters and digits are their upper-case
// ASCII codes; the rest follow the common virtual-key numbering.
enum eKeyType : std::int32_t
{
    eKeyNone = 0,
    eKeyBack = 0x08,
    eKeyTab = 0x09,
    eKeyReturn = 0x0D,
    eKeyShift = 0x10,
    eKeyControl = 0x11,
    eKeyAlt = 0x12,
    eKeyPause = 0x13,
    eKeyEscape = 0x1B,
    eKeySpace = 0x20,
    eKeyPageUp = 0x21,
    eKeyPageDown = 0x22,
    eKeyEnd = 0x23,
    eKeyHome = 0x24,
    eKeyLeft = 0x25,
    eKeyUp = 0x26,
    eKeyRight = 0x27,
    eKeyDown = 0x28,
    eKeyInsert = 0x2D,
    eKeyDelete = 0x2E,
    eKey0 = 0x30, // eKey0 + n for the digit n
    eKeyA = 0x41, // eKeyA + n for the n-th letter
    eKeyF1 = 0x70, // eKeyF1 + n - 1 for Fn, up to F12
};

// Mouse and joystick buttons (the value of button events).
enum eMouseButton : std::int32_t
{
    eMouseButtonLeft = 0,
    eMouseButtonRight = 1,
    eMouseButtonMiddle = 2,
};

// Event flags: which modifier keys were held when the event was made.
enum : std::uint32_t
{
    kInputEventFlagShift = 0x1,
    kInputEventFlagControl = 0x2,
    kInputEventFlagAlt = 0x4,
};

// The points of an event's way at which modifier queues run. The event id is
// -1 at the two trigger points.
enum eModifierProcessingState : std::int32_t
{
    eModifierDevicePreQueue = 0,
    eModifierDevicePostQueue = 1,
    eModifierDeviceTrigger = 2,
    eModifierServerPreQueue = 3,
    eModifierServerPostQueue = 4,
    eModifierServerTrigger = 5,
};

// The verdict of a modifier pass: anything but accept refuses the event.
enum eModifierResult : std::int32_t
{
    eModifierResultAccept = 0,
    eModifierResultDiscard = 1,
};

// Whether the modifiers after the current one still run in this pass.
enum eDataTransportMode : std::int32_t
{
    eDataTransportContinue = 0,
    eDataTransportStop = 1,
};
