#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>
#include <Framekit/Spatial/_sTQPickingResultEntry.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>

#include <cstdint>
#include <map>
#include <set>
#include <vector>

class CTQDataStream;
class CTQObjectListRes;
class CTQObjectOcttree;
class CTQObjectQuadtree;

// A level's static scenery brought to life: built once from an object list
// resource (CTQObjectListRes), it creates one object per placement, places and
// turns it, and files it in one of the two spatial containers it owns, the
// object quadtree for objects whose style has bit 0x10, the object octree for
// all others. Display, picking and enumeration are passed to the containers.
//
// The list owns its two containers (they are its child visuals, known by id)
// and destroys them through the object database when it goes; each container
// gives back the objects it holds. The association map tells which object was
// made for which placement; objects added or removed later through AddVisual
// and RemoveVisual do not change it.
//
// Stored form (after the framed visual part): the quadtree's id in a block
// bracketed with the list's version, then the octree's id in another such
// block. Data written before version 0x200 has no octree block.
class FRAMEKIT_API CTQObjectList : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQObjectList)

    // A style bit of an object (where it is filed) and a selector bit of a
    // query (which container answers): set, the quadtree; clear, the octree.
    static constexpr std::uint32_t kQuadtreeBit = 0x10;

    CTQObjectList();
    CTQObjectList(const CTQObjectList&) = delete;
    CTQObjectList& operator=(const CTQObjectList&) = delete;
    ~CTQObjectList() override;

    // Builds the scenery from the object list resource (see the class comment):
    // the containers take their settings from the same resource. A placement
    // whose resource makes no object is skipped; an object that is not a 3D
    // visual is destroyed again; neither gets an association. False, with a
    // diagnostic and nothing built, when the resource is missing or is not an
    // object list.
    bool InitData(std::int32_t resourceId) override;
    // Loading takes the containers' ids as stored.
    void Serialize(CTQDataStream& s) override;
    // When visible and not culled: the octree's Display, then the quadtree's.
    void Display(std::int32_t viewport) override;
    // To the quadtree when the object's style has bit 0x10, else to the octree.
    void AddVisual(std::int32_t id) override;
    // To the container that holds the object, whatever its style now.
    void RemoveVisual(std::int32_t id) override;
    void Update() override;

    // Each query goes to the quadtree when selector has bit 0x10, else to the
    // octree, and returns its answer; false when that container is missing.
    virtual bool PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                               eTQPickingBehaviour behaviour, std::uint32_t selector);
    virtual bool PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                   eTQPickingBehaviour behaviour, std::uint32_t selector);
    virtual bool EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport, std::uint32_t selector);
    virtual bool EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                        eTQPickingBehaviour behaviour, std::uint32_t selector);

    // Placement index to the id of the object made for it.
    std::map<int, std::int32_t> GetObjectAssociationMap() const { return m_oAssociations; }
    // The containers, looked up by id (null when missing).
    CTQObjectQuadtree* GetObjectQuadtree() const;
    CTQObjectOcttree* GetObjectOcttree() const;
    std::int32_t GetObjectQuadtreeId() const { return m_nQuadtreeId; }
    std::int32_t GetObjectOcttreeId() const { return m_nOcttreeId; }

private:
    void DestroyContainers();
    void CreateContainers(std::int32_t resourceId);
    void BuildPlacements(const CTQObjectListRes& list);
    bool Quadtree(std::uint32_t selector) const { return (selector & kQuadtreeBit) != 0; }

    std::int32_t m_nQuadtreeId = -1;
    std::int32_t m_nOcttreeId = -1;
    std::map<int, std::int32_t> m_oAssociations;
};
