#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/ObjectModel/CTQObject.h>

#include <cstdint>

// A shader whose whole work belongs to the device layer; this class gives it a
// type and creation by name (through the display server).
class FRAMEKIT_API CTQShader : public CTQObject
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQShader)

    CTQShader();
    ~CTQShader() override;

    // Device layer: makes the shader current for what is drawn next.
    virtual bool Activate() = 0;
    // Device layer: the shader stops being current.
    virtual void Deactivate() = 0;

    // True without further work: a shader reads nothing from resources here.
    bool InitData(std::int32_t resourceId) override;
    // Neither written nor created by the object database.
    std::int32_t GetSerializationMode() const override;
};
