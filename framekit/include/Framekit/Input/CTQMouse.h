#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputDevice.h>

#include <cstdint>

// A mouse: its position on a 1024 by 768 field, handedness and double-click time.
class FRAMEKIT_API CTQMouse : public CTQInputDevice
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQMouse)

    // The largest coordinates UpdateMousePosition lets the mouse reach.
    static constexpr std::int32_t kMaxXPos = 1023;
    static constexpr std::int32_t kMaxYPos = 767;

    bool IsLeftHanded() const { return m_bLeftHanded; }
    bool IsRightHanded() const { return !m_bLeftHanded; }
    std::int32_t GetXPos() const { return m_nXPos; }
    void SetXPos(std::int32_t x) { m_nXPos = x; }
    std::int32_t GetYPos() const { return m_nYPos; }
    void SetYPos(std::int32_t y) { m_nYPos = y; }
    // Seconds.
    float GetDoubleClickTime() const { return m_fDoubleClickTime; }
    void SetDoubleClickTime(float seconds) { m_fDoubleClickTime = seconds; }

protected:
    void SetLeftHanded(bool leftHanded) { m_bLeftHanded = leftHanded; }
    // Adds the relative motion and keeps the position within 0..kMaxXPos and
    // 0..kMaxYPos.
    void UpdateMousePosition(int dx, int dy);

private:
    bool m_bLeftHanded = false;
    std::int32_t m_nXPos = 0;
    std::int32_t m_nYPos = 0;
    float m_fDoubleClickTime = 0.5f;
};
