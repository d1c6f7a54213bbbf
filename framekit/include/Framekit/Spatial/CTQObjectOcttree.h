#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>
#include <Framekit/Spatial/_sTQPickingResultEntry.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>

#include <cstdint>
#include <set>
#include <vector>

class CTQDataStream;

// The simple counterpart of the object quadtree for scenes without a landscape
// grid: a visual holding a set of 3D visuals that answers the same display,
// picking and enumeration questions by testing every object's current system
// bounding box in turn. Despite its name it keeps no hierarchy.
//
// References: the octree holds one reference on each object it holds, the one
// the caller hands over with AddVisual; RemoveVisual hands it back, and the
// octree's destruction gives each back through the object database. A visual
// the octree refuses stays the caller's, its parent unchanged.
//
// Stored form (after the framed visual part): the id count (32-bit) and the ids
// (4 bytes each) in ascending order.
class FRAMEKIT_API CTQObjectOcttree : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQObjectOcttree)

    // The distance every point-pick hit carries: the octree does not measure.
    static constexpr float kUnmeasuredDistance = 10000000.0f;
    // An object with this style bit is displayed whether or not it can be seen.
    static constexpr std::uint32_t kStyleAlwaysDisplayed = 0x20;

    CTQObjectOcttree();
    CTQObjectOcttree(const CTQObjectOcttree&) = delete;
    CTQObjectOcttree& operator=(const CTQObjectOcttree&) = delete;
    // Gives back the reference on every object still held, through the object
    // database (an object already gone is skipped).
    ~CTQObjectOcttree() override;

    // Nothing to read; true.
    bool InitData(std::int32_t resourceId) override;
    // Loading empties the set first and fails on a count the bytes left cannot hold.
    void Serialize(CTQDataStream& s) override;
    void Precache(std::int32_t viewport) override;
    // Precaches first when ForcePrecaching() asked for it. When visible:
    // displays every object the viewport can see, and every object with style
    // bit 0x20 wherever it is. The octree itself draws nothing.
    void Display(std::int32_t viewport) override;
    // AddObject(id); when the octree took the object, the object leaves any
    // other parent visual and takes the octree as its parent.
    void AddVisual(std::int32_t id) override;
    // For an object held: parent and root -1, then RemoveObject.
    void RemoveVisual(std::int32_t id) override;
    // When dirty: the visual's update phases, then Update on every object held.
    void Update() override;
    // As the visual's, reaching the objects held: they are the container's
    // children, though it keeps no child list.
    void SetRoot(std::int32_t id) override;

    // Takes a 3D visual (updated first). False for one already held or an
    // object that is not a 3D visual.
    virtual bool AddObject(std::int32_t id);
    // Lets an object go: marks it culled, updates it and erases it. False for
    // an id that is not held (nothing is touched). An id whose object is gone
    // only has its entry erased.
    virtual bool RemoveObject(std::int32_t id);
    // Appends {id, 10000000, (0, 0, 0)} for every object whose box meets the
    // view ray through pixel (x, y) within the view volume, unsorted; the
    // behaviour is not read. False when nothing was appended or the viewport
    // (or its camera or size) cannot be used.
    virtual bool PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                               eTQPickingBehaviour behaviour);
    // Inserts every object whose box meets the volume under the pixel
    // rectangle; the behaviour is not read. True when any was inserted.
    virtual bool PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                   eTQPickingBehaviour behaviour);
    // Inserts every object whose box meets the view volume. True when any was inserted.
    virtual bool EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport);
    // Inserts every object whose box overlaps the world rectangle on X/Y
    // (borders count; corners in either order); the behaviour is not read.
    virtual bool EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                        eTQPickingBehaviour behaviour);
    // The next Display() precaches first.
    virtual void ForcePrecaching();

    bool HasObject(std::int32_t id) const { return m_oObjects.count(id) != 0; }
    std::int32_t GetObjectCount() const { return static_cast<std::int32_t>(m_oObjects.size()); }
    const std::set<std::int32_t>& GetObjects() const { return m_oObjects; }

protected:
    // The clip test of CTQObjectQuadtree::CheckInFrustrum.
    static bool CheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                                const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode);

private:
    // Inserts every live 3D visual held whose box passes the intersect test
    // against lo..hi of matrix.
    bool CollectInVolume(std::set<int>& ids, const CTQMatrix44& matrix, const CTQVector3& lo, const CTQVector3& hi);

    std::set<std::int32_t> m_oObjects;
    bool m_bForcePrecaching = false;
};
