#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>

#include "TQDisplayObjects.h"

// Looks id up in the current object database and brings the remembered link
// up to date: whether the object is a visual and a 3D visual is asked of the
// object (a virtual call and a walk up the type tree) only when the object or
// the database differs from the one remembered.
template <class TLink>
CTQObject* TQResolveVisualLink(std::int32_t id, TLink& link)
{
    const CTQObjectDatabase* database = id >= 0 ? TQGetObjectDatabase() : nullptr;
    CTQObject* object = database ? TQDisplayDetail::CTableAccess::Lookup(*database, id) : nullptr;
    if (object == link.pObject && database == link.pDatabase)
        return object;
    link.pDatabase = database;
    link.pObject = object;
    const CTQClassType* type = object ? &object->GetType() : nullptr;
    link.bVisual = TQDisplayDetail::IsDerivedFrom(type, CTQVisual::GetClassType());
    link.bVisual3d = TQDisplayDetail::IsDerivedFrom(type, CTQVisual3d::GetClassType());
    return object;
}
