#include <Framekit/Input/CTQModifierDataTransport.h>

int CTQModifierDataTransport::AddParam(const CTQProperty& value)
{
    return m_oParams.Add(value);
}

bool CTQModifierDataTransport::RemoveParam(int index)
{
    return m_oParams.Remove(index);
}

void CTQModifierDataTransport::ResetParams()
{
    m_oParams.RemoveAll();
}

int CTQModifierDataTransport::GetNumParams() const
{
    return m_oParams.GetCount();
}

CTQProperty& CTQModifierDataTransport::operator[](std::int32_t index)
{
    return m_oParams[index];
}
