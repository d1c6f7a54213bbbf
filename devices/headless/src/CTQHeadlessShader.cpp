#include <FramekitHeadless/CTQHeadlessShader.h>

#include <Framekit/ObjectModel/CTQObjectFactory.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQHeadlessShader, CTQShader, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQHeadlessShader)

bool CTQHeadlessShader::Activate()
{
    m_bActive = true;
    return true;
}

void CTQHeadlessShader::Deactivate()
{
    m_bActive = false;
}
