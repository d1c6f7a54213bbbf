#include <Plinth/CXfsException.h>

CXfsException::CXfsException(const CTQString& fileName, const CTQString& text) : m_sFileName(fileName), m_sText(text)
{
}

CXfsException::~CXfsException() = default;

CTQString CXfsException::GetErrorMessage() const
{
    CTQString message;
    message.Format("File '%s': %s", m_sFileName.GetString(), m_sText.GetString());
    return message;
}
