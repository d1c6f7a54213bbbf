#pragma once

#include <Geodex/CTQVector3.h>

#include <cstdint>

// One placement of an object list: which resource to build an object from,
// where to put it and how to turn it.
struct sObjectList
{
    // The object's height is fixed (flags bit 0); the other bits are kept for
    // the game and returned unchanged.
    static constexpr std::uint16_t kFlagHeightFixed = 0x1;

    // -1: no resource (a placement made by a setter before anything named one).
    std::int32_t nResourceId = -1;
    float fX = 0.0f;
    float fY = 0.0f;
    float fZ = 0.0f;
    // Angles about X, Y and Z in radians, as the object's SetRotation takes them.
    CTQVector3 vRotation;
    std::uint16_t nFlags = 0;
};
