#pragma once

#include <Framekit/GameTime/CTQEnvironmentServer.h>
#include <Framekit/GameTime/CTQGameTime.h>
#include <Framekit/GameTime/CTQGameTimeSpan.h>
#include <Framekit/GameTime/CTQGameclock.h>
