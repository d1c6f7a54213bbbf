#pragma once

#include <Geodex/CTQVector3.h>

#include <cstdint>

// One hit of a point pick.
struct _sTQPickingResultEntry
{
    std::int32_t nObjectId = -1;
    // The squared distance from the start of the pick segment (the end nearer
    // to the camera) to the hit point.
    float fDistance = 0.0f;
    CTQVector3 vHitPoint;
};
