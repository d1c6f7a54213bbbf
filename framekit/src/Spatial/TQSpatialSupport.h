#pragma once

// What the spatial containers share: object lookups without reference
// traffic, the clip-volume and segment tests, and the view of a viewport that
// picking and culling work in.

#include <Framekit/ObjectModel/CTQObject.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>
#include <Plinth/CTQClassType.h>

#include <cstdint>

namespace TQSpatialDetail
{
// Names the database's protected table lookup through a derived class, the one
// way the language lets code outside the database reach it; nothing of this
// class is ever made. Containers look their objects up for every object of
// every query, so they read the table directly instead of taking and giving
// back a reference each time.
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
} // namespace TQSpatialDetail

// The object under id in the current object database, or null.
inline CTQObject* TQFindSpatialObject(std::int32_t id)
{
    if (id < 0)
        return nullptr;
    const CTQObjectDatabase* database = TQGetObjectDatabase();
    return database ? TQSpatialDetail::CTableAccess::Lookup(*database, id) : nullptr;
}

// The object under id when it is of class T (or derived from it), else null.
template <class T>
T* TQFindSpatialObjectAs(std::int32_t id)
{
    CTQObject* object = TQFindSpatialObject(id);
    if (!object || !TQSpatialDetail::IsDerivedFrom(&object->GetType(), T::GetClassType()))
        return nullptr;
    return static_cast<T*>(object);
}

// The clip test of a box against the volume lo..hi of matrix: each corner
// (corner i takes X from boxMax when bit 0 of i is set, Y bit 1, Z bit 2) as a
// column vector with w = 1, outcode bits 1 x' > w' hi.x, 2 x' < w' lo.x, 4 and 8
// the same for y, 16 and 32 for z. Mode 5: false when all corners share a bit;
// modes 4 and 6: true only when no corner has any bit; any other mode: true.
bool TQCheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                       const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode);

// Whether any point of the segment lies in the box (borders count), a segment
// wholly inside included: the test that decides whether a pick descends into a
// node.
bool TQSegmentMeetsBox(const CTQVector3& start, const CTQVector3& end, const CTQVector3& boxMin,
                       const CTQVector3& boxMax);

// A viewport as picking and culling see it.
struct sTQSpatialView
{
    // World to clip space: the projection times the camera's inverse placement.
    CTQMatrix44 clipFromWorld;
    CTQMatrix44 worldFromCamera;
    CTQMatrix44 invProjection;
    int nWidth = 0;
    int nHeight = 0;
};

// Fills view from the viewport with that id. False, with a diagnostic naming
// caller, when there is no such viewport, it has no camera or no size, or
// (with needInverse) its inverse projection is not valid.
bool TQGetSpatialView(std::int32_t viewport, const char* caller, bool needInverse, sTQSpatialView& view);

// Pixel (x, y) in normalised device coordinates: x from -1 (left) to 1, y
// from 1 (top) to -1.
void TQPixelToDevice(const sTQSpatialView& view, int x, int y, float& ndcX, float& ndcY);

// The view ray through the device point as a segment between the near and far
// planes in world space, starting at the end nearer to the camera whatever the
// projection's depth convention. False when a plane point cannot be formed.
bool TQGetPickSegment(const sTQSpatialView& view, float ndcX, float ndcY, CTQVector3& start, CTQVector3& end);
