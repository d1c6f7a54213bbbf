#pragma once

// What the spatial containers share: the clip-volume and segment tests, and
// the view of a viewport that picking and culling work in. Objects are looked
// up with TQPeekObject: containers look up every object of every query.

#include <Framekit/ObjectModel/TQObjectLookup.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

class CTQDataStream;
class CTQVisual;
class CTQVisual3d;

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

// Takes visual id into the container: the 3D visual leaves any other parent (so
// no visual has two) and is shown again in case an earlier container culled it.
// Null, with the visual left as it is, when it is not a 3D visual, is the
// container itself or is already held.
CTQVisual3d* TQAdoptVisual(CTQVisual& container, std::int32_t id, bool alreadyHeld);
// Makes id the container's child once the container has filed it.
void TQSettleAdoptedVisual(CTQVisual& container, CTQVisual3d& visual);
// Precaches each visual among ids for viewport. The ids are the caller's copy:
// a visual's Precache may add or remove objects of the container.
void TQPrecacheVisuals(const std::vector<std::int32_t>& ids, std::int32_t viewport);
// A visual leaving a container is culled and updated, so that it reports the
// change; callers erase it from their own tables first, so its report finds it gone.
void TQCullReleasedVisual(std::int32_t id);
// A set of object ids: a 32-bit count then the ids. Loading checks the count
// against the bytes left and keeps only ids that keep(id) accepts.
void TQSerializeIdSet(CTQDataStream& s, std::set<std::int32_t>& ids,
                      const std::function<bool(std::int32_t)>& keep = nullptr);
