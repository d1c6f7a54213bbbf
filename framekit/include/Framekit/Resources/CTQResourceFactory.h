#pragma once

#include <Framekit/ObjectModel/CTQFactory.h>

class FRAMEKIT_API CTQResource;

// Creates resources by class name. Resource databases create through this
// registry only: a class registered with the object factory alone cannot be a
// resource of a database.
using CTQResourceFactory = CTQFactory<CTQResource>;
template <class TClass>
using CTQResourceFactoryT = CTQFactoryEntryT<CTQResource, TClass>;

template <>
FRAMEKIT_API const char* CTQFactory<CTQResource>::GetFactoryName();
extern template class CTQFactory<CTQResource>;

#define TQ_REGISTER_RESOURCE_FACTORY(Class) TQ_REGISTER_FACTORY(CTQResourceFactoryT, Class)
