#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>

#include <cstdint>

// A set of textures whose whole work belongs to the device layer; this class
// gives it a type and creation by name (through the display server).
class FRAMEKIT_API CTQTextureSet : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQTextureSet)

    CTQTextureSet();
    ~CTQTextureSet() override;

    // Nothing here.
    virtual void Init();
    // Device layer: makes the set's textures current from the given stage on.
    virtual bool Select(std::uint32_t firstStage) = 0;

    // True without further work: a texture set reads nothing from resources here.
    bool InitData(std::int32_t resourceId) override;
    // Neither written nor created by the object database.
    std::int32_t GetSerializationMode() const override;
};
