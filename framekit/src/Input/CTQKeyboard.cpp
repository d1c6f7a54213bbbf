#include <Framekit/Input/CTQKeyboard.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQKeyboard, CTQInputDevice, kTQDefaultDataFormatVersion)
