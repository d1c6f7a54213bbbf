#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/TQInputTypes.h>
#include <Plinth/CTQParams.h>

#include <cstdint>

class CTQProperty;

// What the modifiers of one processing pass share: parameters that earlier
// modifiers leave for later ones, the verdict on the event and whether the pass
// goes on. A pass starts with no parameters, accept and continue.
class FRAMEKIT_API CTQModifierDataTransport
{
public:
    CTQModifierDataTransport() = default;

    // Appends a parameter; returns its index.
    int AddParam(const CTQProperty& value);
    // False when index is out of range.
    bool RemoveParam(int index);
    void ResetParams();
    int GetNumParams() const;
    // An index out of range answers an empty property (see CTQParams::Get).
    CTQProperty& operator[](std::int32_t index);

    // Any result but eModifierResultAccept refuses the event.
    eModifierResult GetResult() const { return m_eResult; }
    void SetResult(eModifierResult result) { m_eResult = result; }
    // eDataTransportStop ends the pass after the current modifier.
    eDataTransportMode GetTransportMode() const { return m_eMode; }
    void SetTransportMode(eDataTransportMode mode) { m_eMode = mode; }

private:
    CTQParams m_oParams;
    eModifierResult m_eResult = eModifierResultAccept;
    eDataTransportMode m_eMode = eDataTransportContinue;
};
