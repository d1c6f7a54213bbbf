#pragma once

#include <Framekit/ObjectModel/CTQFactory.h>

class FRAMEKIT_API CTQNode;

// Creates nodes by class name.
using CTQNodeFactory = CTQFactory<CTQNode>;
template <class TClass>
using CTQNodeFactoryT = CTQFactoryEntryT<CTQNode, TClass>;

template <>
FRAMEKIT_API const char* CTQFactory<CTQNode>::GetFactoryName();
extern template class CTQFactory<CTQNode>;

#define TQ_REGISTER_NODE_FACTORY(Class) TQ_REGISTER_FACTORY(CTQNodeFactoryT, Class)
