#pragma once

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>

#include <cstdint>

// Display objects refer to each other by object id and look the id up each
// time they use it, so that an object that is gone (or not yet loaded) is
// skipped rather than dangling. These helpers do the lookup in the current
// object database without keeping a reference.

inline CTQObject* TQFindDisplayObject(std::int32_t id)
{
    if (id < 0)
        return nullptr;
    CTQObjectDatabase* database = TQGetObjectDatabase();
    if (!database)
        return nullptr;
    CTQObject* object = database->QueryObject(id);
    // The table keeps its own reference, so giving this one back never ends the object.
    if (object)
        object->Release();
    return object;
}

// The object under id when it is of class T (or derived from it), else null.
template <class T>
T* TQFindDisplayObjectAs(std::int32_t id)
{
    CTQObject* object = TQFindDisplayObject(id);
    if (!object || !object->IsOfType(T::GetClassType()))
        return nullptr;
    return static_cast<T*>(object);
}
