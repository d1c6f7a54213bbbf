#pragma once

#include <Framekit/ObjectModel/CTQFactory.h>

class FRAMEKIT_API CTQObject;

// Creates objects by class name.
using CTQObjectFactory = CTQFactory<CTQObject>;
template <class TClass>
using CTQObjectFactoryT = CTQFactoryEntryT<CTQObject, TClass>;

template <>
FRAMEKIT_API const char* CTQFactory<CTQObject>::GetFactoryName();
extern template class CTQFactory<CTQObject>;

#define TQ_REGISTER_OBJECT_FACTORY(Class) TQ_REGISTER_FACTORY(CTQObjectFactoryT, Class)
