#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputDevice.h>

// A joystick: axes report eInputEventAxis events, buttons button events.
class FRAMEKIT_API CTQJoystick : public CTQInputDevice
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQJoystick)
};
