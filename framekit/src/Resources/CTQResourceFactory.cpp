#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceFactory.h>

#include "../ObjectModel/CTQFactoryImpl.h"

template <>
const char* CTQFactory<CTQResource>::GetFactoryName()
{
    return "CTQResourceFactory";
}

template class CTQFactory<CTQResource>;
