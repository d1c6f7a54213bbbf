#pragma once

#include <cstdint>

// A display mode as the device layer describes it: mode enumeration hands these
// out and a viewport keeps one as its present graphics mode. Only the device
// layer defines and reads the words; the library copies the record whole.
struct _sTQDisplayModes
{
    static constexpr int kWordCount = 72;

    std::uint32_t aWords[kWordCount] = {};
};

static_assert(sizeof(_sTQDisplayModes) == 288, "a display mode record is 72 32-bit words");
