#pragma once

#include <FramekitHeadless/CTQHeadlessInputServer.h>
#include <FramekitHeadless/CTQHeadlessJoystick.h>
#include <FramekitHeadless/CTQHeadlessKeyboard.h>
#include <FramekitHeadless/CTQHeadlessMouse.h>
