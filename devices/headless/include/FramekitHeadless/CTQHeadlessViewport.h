#pragma once

#include <Framekit/Display/CTQViewport.h>
#include <FramekitHeadless/HeadlessExport.h>
#include <FramekitHeadless/sTQHeadlessFrame.h>

#include <array>
#include <cstdint>

// A viewport without a screen: instead of drawing, it records what it was
// asked to draw in each frame, so that games, tools and tests can follow the
// whole display path. The last kFrameHistory frames are kept; their buffers
// are reused, so recording allocates nothing once they have grown to the
// scene's size.
//
// Created by class name as "CTQViewport" while a headless display server is
// current (registered as "CTQHeadlessViewport").
class FRAMEKITHEADLESS_API CTQHeadlessViewport : public CTQViewport
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessViewport)

    static constexpr std::uint32_t kFrameHistory = 8;

    CTQHeadlessViewport();
    ~CTQHeadlessViewport() override;

    // Starts the next frame's record, then renders.
    void Render() override;
    // Records the visual in the current frame (frame 0 before the first
    // Render()), and as in view when it is a 3D visual whose world box meets
    // the view cone.
    void OnVisualDisplayed(CTQVisual& visual) override;
    // Takes the display's size as its own.
    void OnDisplaySizeChanged(const CTQSize& size) override;

    // Frames rendered so far.
    std::uint32_t GetFrameCount() const { return m_nFrameCount; }
    // The record of the given frame, or null when it is not kept (too old, or
    // not rendered yet).
    const sTQHeadlessFrame* GetFrame(std::uint32_t frame) const;
    // The record of the latest frame (frame 0 and empty before the first Render()).
    const sTQHeadlessFrame& GetLastFrame() const;

private:
    sTQHeadlessFrame& Slot(std::uint32_t frame) { return m_aFrames[frame % kFrameHistory]; }

    std::array<sTQHeadlessFrame, kFrameHistory> m_aFrames;
    std::uint32_t m_nFrameCount = 0;
};
