#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>

#include <cstdint>
#include <vector>

// A visual that records a stream of vertex components (coordinates, normals,
// colours, texture coordinates) for the device layer to draw in immediate
// fashion. The components are not serialised: a stored primitive loads
// without any.
class FRAMEKIT_API CTQPrimitive : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQPrimitive)

    enum eComponentKind : std::int32_t
    {
        eComponent_Coord = 0,
        eComponent_Norm = 1,
        eComponent_Rgba = 2,
        eComponent_Uv = 3,
    };

    // 20 bytes: the kind, then four 32-bit values. Coord and Norm fill x, y, z
    // (afValue[0..2]); Rgba r, g, b, a; Uv the stage (anValue[0]) and u, v
    // (afValue[1..2]). Unused values are 0.
    struct sPrimitiveComponent
    {
        std::int32_t nKind = 0;
        union
        {
            float afValue[4];
            std::uint32_t anValue[4] = {0, 0, 0, 0};
        };
    };

    CTQPrimitive();
    ~CTQPrimitive() override;

    virtual void Coord(float x, float y, float z);
    virtual void Norm(float x, float y, float z);
    virtual void Rgba(float r, float g, float b, float a);
    virtual void Uv(std::uint32_t stage, float u, float v);

    // Tells the viewport that the primitive is to be drawn; the device layer
    // draws it. A primitive has no children to display.
    void Display(std::int32_t viewport) override;

protected:
    void AddComponent(const sPrimitiveComponent& component);
    std::int32_t GetComponentCount() const;
    bool HasComponents() const;
    // index must lie in [0, GetComponentCount()).
    const sPrimitiveComponent& GetComponent(std::int32_t index) const;
    void RemoveAllComponents();

private:
    std::vector<sPrimitiveComponent> m_aComponents;
};

static_assert(sizeof(CTQPrimitive::sPrimitiveComponent) == 20, "a primitive component is 20 bytes");
