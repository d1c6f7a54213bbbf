#include <Framekit/ObjectModel/ITQDeviceClassInfixSource.h>

namespace
{
ITQDeviceClassInfixSource* s_pInfixSource = nullptr;
}

ITQDeviceClassInfixSource* TQSetDeviceClassInfixSource(ITQDeviceClassInfixSource* source)
{
    ITQDeviceClassInfixSource* previous = s_pInfixSource;
    s_pInfixSource = source;
    return previous;
}

ITQDeviceClassInfixSource* TQGetDeviceClassInfixSource()
{
    return s_pInfixSource;
}
