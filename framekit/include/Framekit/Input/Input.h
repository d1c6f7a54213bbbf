#pragma once

#include <Framekit/Input/CTQInputDevice.h>
#include <Framekit/Input/CTQInputEvent.h>
#include <Framekit/Input/CTQInputModifier.h>
#include <Framekit/Input/CTQInputModifierQueue.h>
#include <Framekit/Input/CTQInputObject.h>
#include <Framekit/Input/CTQInputRecorder.h>
#include <Framekit/Input/CTQInputServer.h>
#include <Framekit/Input/CTQJoystick.h>
#include <Framekit/Input/CTQKeyboard.h>
#include <Framekit/Input/CTQModifierDataTransport.h>
#include <Framekit/Input/CTQMouse.h>
#include <Framekit/Input/TQInputTypes.h>
#include <Framekit/Input/sInputModifierEntry.h>
