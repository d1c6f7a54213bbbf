#include <Framekit/Display/CTQPrimitive.h>
#include <Framekit/Display/CTQViewport.h>

#include <Framekit/ObjectModel/TQObjectLookup.h>

#include <cassert>

TQ_IMPLEMENT_CLASS_TYPE(CTQPrimitive, CTQVisual, kTQDefaultDataFormatVersion)

namespace
{
CTQPrimitive::sPrimitiveComponent MakeComponent(std::int32_t kind, float a, float b, float c, float d)
{
    CTQPrimitive::sPrimitiveComponent component;
    component.nKind = kind;
    component.afValue[0] = a;
    component.afValue[1] = b;
    component.afValue[2] = c;
    component.afValue[3] = d;
    return component;
}
} // namespace

CTQPrimitive::CTQPrimitive() = default;
CTQPrimitive::~CTQPrimitive() = default;

void CTQPrimitive::Coord(float x, float y, float z)
{
    AddComponent(MakeComponent(eComponent_Coord, x, y, z, 0.0f));
}

void CTQPrimitive::Norm(float x, float y, float z)
{
    AddComponent(MakeComponent(eComponent_Norm, x, y, z, 0.0f));
}

void CTQPrimitive::Rgba(float r, float g, float b, float a)
{
    AddComponent(MakeComponent(eComponent_Rgba, r, g, b, a));
}

void CTQPrimitive::Uv(std::uint32_t stage, float u, float v)
{
    sPrimitiveComponent component = MakeComponent(eComponent_Uv, 0.0f, u, v, 0.0f);
    component.anValue[0] = stage;
    AddComponent(component);
}

void CTQPrimitive::Display(std::int32_t viewport)
{
    if (!IsVisible() || IsCulled())
        return;
    if (CTQViewport* target = TQPeekObjectAs<CTQViewport>(viewport))
        target->OnVisualDisplayed(*this);
}

void CTQPrimitive::AddComponent(const sPrimitiveComponent& component)
{
    m_aComponents.push_back(component);
}

std::int32_t CTQPrimitive::GetComponentCount() const
{
    return static_cast<std::int32_t>(m_aComponents.size());
}

bool CTQPrimitive::HasComponents() const
{
    return !m_aComponents.empty();
}

const CTQPrimitive::sPrimitiveComponent& CTQPrimitive::GetComponent(std::int32_t index) const
{
    assert(index >= 0 && static_cast<std::size_t>(index) < m_aComponents.size());
    return m_aComponents[static_cast<std::size_t>(index)];
}

void CTQPrimitive::RemoveAllComponents()
{
    m_aComponents.clear();
}
