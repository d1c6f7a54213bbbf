#include <FramekitHeadless/CTQHeadlessTextureSet.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessTextureSet, CTQTextureSet, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessTextureSet)

bool CTQHeadlessTextureSet::Select(std::uint32_t firstStage)
{
    ++m_nSelectCount;
    m_nLastStage = firstStage;
    return true;
}
