#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Spatial/CTQObjectQuadNode.h>

#include <cstdint>
#include <set>

// A leaf of an object quadtree: one patch of the landscape grid and the ids of
// the objects whose stored box overlaps it. Its Z range is the union of those
// objects' boxes.
//
// Stored form: the node's (rectangle, Z range and flags), then the id count
// (32-bit) and the ids (4 bytes each) in ascending order.
class FRAMEKIT_API CTQObjectQuadLeaf : public CTQObjectQuadNode
{
public:
    CTQObjectQuadLeaf();
    ~CTQObjectQuadLeaf() override;

    bool RemoveObject(std::int32_t id, const CTQVector3& oldMin, const CTQVector3& oldMax) override;
    bool PickRay(std::vector<_sTQPickingResultEntry>& hits, std::set<int>& visited, void* reserved,
                 const CTQVector3& start, const CTQVector3& end, eTQPickingBehaviour behaviour) override;
    bool PickFrustum(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix,
                     const CTQVector3& clipMin, const CTQVector3& clipMax, eTQPickingBehaviour behaviour) override;
    bool EnumerateVisible(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix) override;
    bool EnumerateRect(std::set<int>& results, std::set<int>& visited, float x0, float y0, float x1, float y1,
                       eTQPickingBehaviour behaviour) override;
    void RecomputeZRangeDeep() override;
    // The union of the boxes of the objects held (as the tree stores them).
    void RecomputeZRange() override;

    const std::set<std::int32_t>& GetObjects() const { return m_oObjects; }
    bool HoldsObject(std::int32_t id) const { return m_oObjects.count(id) != 0; }
    // Empties the leaf (used when the tree refiles everything).
    void ClearObjects();

    // Loading keeps only ids that the tree's object map holds.
    void Serialize(CTQDataStream& s) override;
    std::size_t GetNodeSize() const override { return sizeof(CTQObjectQuadLeaf); }

protected:
    bool FileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max) override;
    bool RefileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max, const CTQVector3& oldMin,
                      const CTQVector3& oldMax) override;
    bool CheckObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max) override;

private:
    std::set<std::int32_t> m_oObjects;
};
