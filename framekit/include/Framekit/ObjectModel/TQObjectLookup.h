#pragma once

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>

#include <cstdint>

// Objects refer to each other by id and look the id up each time they use it,
// so an object that is gone (or not yet loaded) is skipped rather than dangling.
// Per-frame paths (scene updates, culling, picking) make these lookups for every
// child of every visual; they peek at the current database's table instead of
// taking and giving back a reference (two virtual calls) as QueryObject does.
// The pointer is for use at once: keep the id, not the pointer.

// The object under id in the current object database, or null.
inline CTQObject* TQPeekObject(std::int32_t id)
{
    const CTQObjectDatabase* database = TQGetObjectDatabase();
    return database ? database->PeekObject(id) : nullptr;
}

// The object under id when it is of class T (or derived from it), else null.
template <class T>
T* TQPeekObjectAs(std::int32_t id)
{
    CTQObject* object = TQPeekObject(id);
    if (!object || !object->GetType().IsDerivedFrom(T::GetClassType()))
        return nullptr;
    return static_cast<T*>(object);
}
