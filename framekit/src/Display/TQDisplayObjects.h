#pragma once

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Plinth/CTQClassType.h>

#include <cstdint>

// Display objects refer to each other by object id and look the id up each
// time they use it, so that an object that is gone (or not yet loaded) is
// skipped rather than dangling. These lookups run for every child of every
// visual in every frame, so they read the current database's table directly
// instead of taking and giving back a reference (two virtual calls per child)
// as QueryObject does.

namespace TQDisplayDetail
{
// Names the database's protected table lookup through a derived class, the
// one way the language lets code outside the database reach it; nothing of
// this class is ever made.
class CTableAccess final : public CTQObjectDatabase
{
public:
    static CTQObject* Lookup(const CTQObjectDatabase& database, std::int32_t id)
    {
        return (database.*(&CTableAccess::Find))(id);
    }
};

inline bool IsDerivedFrom(const CTQClassType* type, const CTQClassType& base)
{
    for (; type != nullptr; type = type->GetParent())
        if (type == &base)
            return true;
    return false;
}
} // namespace TQDisplayDetail

// The object under id in the current object database, or null.
inline CTQObject* TQFindDisplayObject(std::int32_t id)
{
    if (id < 0)
        return nullptr;
    const CTQObjectDatabase* database = TQGetObjectDatabase();
    return database ? TQDisplayDetail::CTableAccess::Lookup(*database, id) : nullptr;
}

// The object under id when it is of class T (or derived from it), else null.
template <class T>
T* TQFindDisplayObjectAs(std::int32_t id)
{
    CTQObject* object = TQFindDisplayObject(id);
    if (!object || !TQDisplayDetail::IsDerivedFrom(&object->GetType(), T::GetClassType()))
        return nullptr;
    return static_cast<T*>(object);
}
