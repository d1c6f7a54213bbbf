#pragma once

#include <cstdint>
#include <vector>

// What a headless viewport was asked to draw in one frame (one Render()).
struct sTQHeadlessFrame
{
    // The frame's number: 1 for the viewport's first Render(), counting up.
    std::uint32_t nFrame = 0;
    // Every visual displayed, in the order Display() reached them.
    std::vector<std::int32_t> aDisplayed;
    // Those displayed 3D visuals whose world box meets the viewport's view
    // cone: what a device would have rasterised.
    std::vector<std::int32_t> aInView;
};
