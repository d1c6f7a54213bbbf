#pragma once

#include <Geodex/CTQVector3.h>

#include <cstdint>

// What an object quadtree keeps of each object it holds: the object's system
// bounding box as the tree last filed it (the tree's leaves hold the object
// exactly where this box overlaps them), two flags and a user value that the
// tree stores and writes without reading them.
//
// Stored as 44 bytes: in-tree flag (1 byte) and 3 padding bytes, 4 reserved
// bytes, min x, y, z (floats), 4 reserved bytes, max x, y, z (floats), the two
// flags (1 byte each), 2 padding bytes, user value (32-bit). Padding and
// reserved bytes are written as 0 and ignored when read.
struct sQuadtreeObjectEntry
{
    static constexpr std::uint32_t kStoredBytes = 44;

    bool bInTree = true;
    CTQVector3 vMin;
    CTQVector3 vMax;
    bool bFlag0 = false;
    bool bFlag1 = false;
    std::int32_t nUserValue = 0;
};
