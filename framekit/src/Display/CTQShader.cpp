#include <Framekit/Display/CTQShader.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQShader, CTQObject, kTQDefaultDataFormatVersion)

CTQShader::CTQShader() = default;
CTQShader::~CTQShader() = default;

bool CTQShader::InitData(std::int32_t)
{
    return true;
}

std::int32_t CTQShader::GetSerializationMode() const
{
    return kTQSerializationModeNone;
}
