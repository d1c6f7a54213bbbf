#include <Plinth/CTQException.h>

#include <Plinth/Log.h>

CTQException::~CTQException() = default;

void CTQException::ReportError() const
{
    Debug_Warning("%s\n", GetErrorMessage().GetString());
}

void CTQException::Delete()
{
    delete this;
}
