#pragma once

// Everything a game needs: the base library, the maths library and Framekit.
#include <Plinth/Plinth.h>
#include <Geodex/Geodex.h>
#include <Framekit/ObjectModel/ObjectModel.h>
#include <Framekit/Resources/Resources.h>
#include <Framekit/GameTime/GameTime.h>
#include <Framekit/Input/Input.h>
#include <Framekit/Display/Display.h>
