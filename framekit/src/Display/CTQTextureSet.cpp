#include <Framekit/Display/CTQTextureSet.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQTextureSet, CTQObject, kTQDefaultDataFormatVersion)

CTQTextureSet::CTQTextureSet() = default;
CTQTextureSet::~CTQTextureSet() = default;

void CTQTextureSet::Init() {}

bool CTQTextureSet::InitData(std::int32_t)
{
    return true;
}

std::int32_t CTQTextureSet::GetSerializationMode() const
{
    return kTQSerializationModeNone;
}
