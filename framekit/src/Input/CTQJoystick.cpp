#include <Framekit/Input/CTQJoystick.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQJoystick, CTQInputDevice, kTQDefaultDataFormatVersion)
