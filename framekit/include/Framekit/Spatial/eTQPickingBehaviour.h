#pragma once

#include <cstdint>

// How a spatial container answers a picking or enumeration query.
//
// Point picking (PickObjectsAt) reads 1 and 3 and reports every hit, unsorted,
// for any other value. Rectangle queries read 4, 5 and 6 and apply no test to
// the single object for any other value.
enum eTQPickingBehaviour : std::int32_t
{
    // Every hit, in no particular order.
    eTQPicking_All = 0,
    // Only the nearest hit.
    eTQPicking_Nearest = 1,
    // Every hit, nearest first.
    eTQPicking_AllSorted = 3,
    // The object's box must overlap the world rectangle, or lie wholly inside
    // the screen rectangle's volume.
    eTQPicking_Inside = 4,
    // The object's box must meet the volume.
    eTQPicking_Intersect = 5,
    // The object's reference point must lie inside: the centre of its box for a
    // world rectangle, its position for a screen rectangle.
    eTQPicking_ReferencePoint = 6,
};
