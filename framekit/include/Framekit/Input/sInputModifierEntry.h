#pragma once

#include <Framekit/FramekitExport.h>

#include <cstdint>

class CTQDataStream;

// One modifier in a modifier queue: the object id of the modifier and the
// priority by which the queue orders it (highest first).
struct FRAMEKIT_API sInputModifierEntry
{
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }

    std::int32_t nPriority = 0;
    std::int32_t nModifierId = -1;

    // Priority, then modifier id (4 bytes each).
    void Serialize(CTQDataStream& s);

    bool operator==(const sInputModifierEntry&) const = default;
};
