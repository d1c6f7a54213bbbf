#include <Framekit/Input/CTQInputModifier.h>

#include <Framekit/Input/CTQInputServer.h>

TQ_IMPLEMENT_CLASS_TYPE(CTQInputModifier, CTQInputObject, kTQDefaultDataFormatVersion)

CTQInputServer* CTQInputModifier::GetInputServer() const
{
    return TQGetInputServer();
}
