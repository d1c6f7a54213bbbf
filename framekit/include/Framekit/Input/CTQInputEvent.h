#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputObject.h>
#include <Framekit/Input/TQInputTypes.h>

#include <cstdint>

class CTQInputServer;

// One input event: what happened, on which device, when.
//
// Events are made by the input server (NewEvent), which gives each one a unique
// event id as its object id; they live in the server's event table, not in the
// object database.
//
// The key, character, button, axis and POV share one value field: setting one
// sets them all.
class FRAMEKIT_API CTQInputEvent : public CTQInputObject
{
    // The server hands out event ids through SetId.
    friend class CTQInputServer;

public:
    TQ_DECLARE_CLASS_TYPE(CTQInputEvent)

    // Type 0, no flags, no device, value 0, at CTimer::GetCurTime().
    CTQInputEvent();

    // The CTQInputObject part in a bracket; then, outside it: type, flags,
    // device id, the value five times (key, char, button, axis, POV), axis value
    // (float), x, y (4 bytes each) and the time stamp (8-byte double). Loading
    // reads the value five times; the last copy wins.
    void Serialize(CTQDataStream& s) override;

    eInputEventType GetEventType() const { return m_eType; }
    void SetEventType(eInputEventType type) { m_eType = type; }
    std::uint32_t GetFlags() const { return m_nFlags; }
    void SetFlags(std::uint32_t flags) { m_nFlags = flags; }
    std::int32_t GetDeviceId() const { return m_nDeviceId; }
    void SetDeviceId(std::int32_t deviceId) { m_nDeviceId = deviceId; }

    std::int32_t GetKey() const { return m_nValue; }
    void SetKey(std::int32_t key) { m_nValue = key; }
    std::int32_t GetChar() const { return m_nValue; }
    void SetChar(std::int32_t character) { m_nValue = character; }
    std::int32_t GetButton() const { return m_nValue; }
    void SetButton(std::int32_t button) { m_nValue = button; }
    std::int32_t GetAxis() const { return m_nValue; }
    void SetAxis(std::int32_t axis) { m_nValue = axis; }
    std::int32_t GetPov() const { return m_nValue; }
    void SetPov(std::int32_t pov) { m_nValue = pov; }

    float GetAxisValue() const { return m_fAxisValue; }
    void SetAxisValue(float value) { m_fAxisValue = value; }
    std::int32_t GetXPos() const { return m_nXPos; }
    void SetXPos(std::int32_t x) { m_nXPos = x; }
    std::int32_t GetYPos() const { return m_nYPos; }
    void SetYPos(std::int32_t y) { m_nYPos = y; }
    // Seconds on CTimer::GetCurTime()'s clock.
    double GetTimeStamp() const { return m_fTimeStamp; }
    void SetTimeStamp(double seconds) { m_fTimeStamp = seconds; }

private:
    eInputEventType m_eType = eInputEventNone;
    std::uint32_t m_nFlags = 0;
    std::int32_t m_nDeviceId = -1;
    std::int32_t m_nValue = 0;
    float m_fAxisValue = 0.0f;
    std::int32_t m_nXPos = 0;
    std::int32_t m_nYPos = 0;
    double m_fTimeStamp = 0.0;
};
