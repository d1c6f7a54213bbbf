#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputDevice.h>

// A keyboard with its key repeat settings.
class FRAMEKIT_API CTQKeyboard : public CTQInputDevice
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQKeyboard)

    // Seconds before a held key starts repeating.
    float GetKeyRepeatDelay() const { return m_fKeyRepeatDelay; }
    void SetKeyRepeatDelay(float seconds) { m_fKeyRepeatDelay = seconds; }
    // Seconds between two repeats.
    float GetKeyRepeatSpeed() const { return m_fKeyRepeatSpeed; }
    void SetKeyRepeatSpeed(float seconds) { m_fKeyRepeatSpeed = seconds; }

private:
    float m_fKeyRepeatDelay = 0.25f;
    float m_fKeyRepeatSpeed = 0.03f;
};
