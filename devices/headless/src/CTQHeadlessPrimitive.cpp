#include <FramekitHeadless/CTQHeadlessPrimitive.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessPrimitive, CTQPrimitive, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessPrimitive)

void CTQHeadlessPrimitive::SetCreationParameters(int type, std::int32_t count)
{
    m_nType = type;
    m_nCount = count;
}
