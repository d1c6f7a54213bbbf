#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Input/CTQInputObject.h>
#include <Framekit/Input/TQInputTypes.h>

#include <cstdint>

class CTQInputServer;
class CTQModifierDataTransport;

// An object that watches, changes or refuses input events at the points of
// their way where a modifier queue runs (see eModifierProcessingState).
// Modifiers live in the object database and are installed by object id.
class FRAMEKIT_API CTQInputModifier : public CTQInputObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQInputModifier)

    // Called by the queue at every processing point; eventId is -1 at the
    // trigger points. A modifier refuses the event through the transport's
    // result and ends the pass through its mode.
    virtual void Execute(eModifierProcessingState state, std::int32_t eventId,
                         CTQModifierDataTransport& transport) = 0;

protected:
    // The input server the modifier works with: the current one (null when
    // there is none), looked up at each use so it is never a dangling pointer.
    CTQInputServer* GetInputServer() const;
};
