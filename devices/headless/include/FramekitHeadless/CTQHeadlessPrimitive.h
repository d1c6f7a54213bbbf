#pragma once

#include <Framekit/Display/CTQPrimitive.h>
#include <FramekitHeadless/HeadlessExport.h>

#include <cstdint>

// A primitive of the headless layer: it keeps the type and vertex count it was
// created for and shows its recorded components to whoever looks.
class FRAMEKITHEADLESS_API CTQHeadlessPrimitive : public CTQPrimitive
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQHeadlessPrimitive)

    void SetCreationParameters(int type, std::int32_t count);
    int GetPrimitiveType() const { return m_nType; }
    std::int32_t GetVertexCount() const { return m_nCount; }

    using CTQPrimitive::GetComponent;
    using CTQPrimitive::GetComponentCount;
    using CTQPrimitive::HasComponents;
    using CTQPrimitive::RemoveAllComponents;

private:
    int m_nType = 0;
    std::int32_t m_nCount = 0;
};
