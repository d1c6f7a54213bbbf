#pragma once

#include <Framekit/Display/CTQDisplayServer.h>
#include <FramekitHeadless/HeadlessExport.h>
#include <FramekitHeadless/sTQHeadlessFrame.h>

#include <cstdint>

// A display server without a screen. Its device class infix is "Headless":
// with it current, the object database creates "CTQViewport" as
// "CTQHeadlessViewport", "CTQTextureSet" as "CTQHeadlessTextureSet",
// "CTQShader" as "CTQHeadlessShader", "CTQPrimitive" as
// "CTQHeadlessPrimitive" and "CTQVisual3d" as "CTQHeadlessVisual3d"; scenes
// and cameras are the library's own.
//
// Any display mode can be set and the display opens at once. Mode enumeration
// offers 640 x 480, 800 x 600, 1024 x 768 and 1280 x 1024, each at 16 and 32
// bits per pixel; in each record word 0 is the width, word 1 the height,
// word 2 the bits per pixel and word 3 the refresh rate (60).
//
// What the viewports were asked to draw is recorded per viewport and frame
// (see CTQHeadlessViewport) and can be asked for here by viewport id.
class FRAMEKITHEADLESS_API CTQHeadlessDisplayServer : public CTQDisplayServer
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessDisplayServer)

    static constexpr std::uint32_t kWordWidth = 0;
    static constexpr std::uint32_t kWordHeight = 1;
    static constexpr std::uint32_t kWordBpp = 2;
    static constexpr std::uint32_t kWordRefresh = 3;

    CTQHeadlessDisplayServer();
    ~CTQHeadlessDisplayServer() override;

    bool CanChangeDisplayMode() const override;
    bool OpenDisplay() override;
    void CloseDisplay() override;
    bool IsDisplayOpen() const override;

    std::int32_t NewScene() override;
    std::int32_t NewCamera() override;
    std::int32_t NewViewport() override;
    // type and count are kept by the primitive (see CTQHeadlessPrimitive).
    std::int32_t NewPrimitive(int type, std::int32_t count) override;
    const char* GetDeviceClassInfix() const override;

    void BeginEnumDisplayModes() override;
    bool HasMoredisplayModes() override;
    _sTQDisplayModes& GetNextDisplayMode() override;
    void EndEnumDisplayModes() override;

    // The record of one frame of the viewport with that id, or null when the
    // id names no headless viewport or the frame is not kept.
    const sTQHeadlessFrame* GetFrame(std::int32_t viewport, std::uint32_t frame) const;
    // The record of the viewport's latest frame, or null when the id names no
    // headless viewport.
    const sTQHeadlessFrame* GetLastFrame(std::int32_t viewport) const;

private:
    bool m_bOpen = false;
    std::uint32_t m_nNextMode = 0;
    _sTQDisplayModes m_oMode;
};
