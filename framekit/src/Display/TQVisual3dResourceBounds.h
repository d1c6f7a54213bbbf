#pragma once

#include <Geodex/CTQVector3.h>

#include <cstdint>

// What a 3D visual takes from the resource it is built from.
struct sTQVisual3dResourceSettings
{
    CTQVector3 boundsMin;
    CTQVector3 boundsMax;
    bool hasStyle = false;
    std::uint32_t style = 0;
};

// Reads the settings of the resource under resourceId from the current
// resource database: the bounds of a 3D visual resource, or else the
// attributes "BoundsXMin" ... "BoundsZMax" (a missing one counts as 0), and the
// attribute "VisualStyle". False, with a diagnostic, when no resource has that id.
bool TQReadVisual3dResourceSettings(std::int32_t resourceId, sTQVisual3dResourceSettings& out);
