#pragma once

#include <Framekit/FramekitExport.h>
#include <Framekit/Spatial/_sTQPickingResultEntry.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Geodex/CTQGeomStructQuadNode.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

class CTQDataStream;
class CTQObjectQuadtree;

// An inner node of an object quadtree: a rectangle of the ground plane (the
// X/Y plane) with up to four children, and the vertical extent (minimum and
// maximum Z) of the objects filed below it, so that the node is a 3D box for
// culling and ray tests.
//
// Nodes are made and wired by their quadtree (CTQObjectQuadtree::Init), which
// they reach through the maths library's client pointer; they read the boxes
// of objects from the tree's object map, never from the objects themselves, so
// an object that has gone can still be taken out of the leaves.
//
// Invariants: a node's Z range is the union of the ranges of its children that
// have one; a node without a valid range holds no object below it and answers
// every query with false; a disabled node lies wholly outside the grid and
// answers every query with false.
//
// Stored form: the maths library's node part (which holds the whole subtree),
// then min Z, max Z (floats), Z range valid and disabled (1 byte each).
class FRAMEKIT_API CTQObjectQuadNode : public CTQGeomStructQuadNode
{
public:
    CTQObjectQuadNode();
    ~CTQObjectQuadNode() override;

    // Attaches node as child index and makes this node its parent; false when
    // the maths library refuses the child.
    virtual bool SetChild(int index, CTQObjectQuadNode* node);
    virtual void SetParentNode(CTQObjectQuadNode* node);
    // Files the object in every leaf below whose patch its stored box overlaps.
    // True when some leaf took it.
    virtual bool AddObject(std::int32_t id);
    // Takes the object out of every leaf below that its stored box (oldMin,
    // oldMax) overlaps. True when some leaf held it.
    virtual bool RemoveObject(std::int32_t id, const CTQVector3& oldMin, const CTQVector3& oldMax);
    // Refiles an object whose stored box was oldMin..oldMax and is now the box
    // in the tree's object map: leaves the new box overlaps hold it, leaves
    // only the old box overlapped let it go. True when some leaf changed or
    // holds it.
    virtual bool UpdateObject(std::int32_t id, const CTQVector3& oldMin, const CTQVector3& oldMax);
    // True when every leaf below agrees with the object's current system box:
    // it holds the object exactly where that box overlaps its patch. False for
    // an object that is not a live 3D visual.
    virtual bool VerifyObject(std::int32_t id);
    // Appends a hit for every object below, not yet in visited, whose stored
    // box the segment start..end meets (marking each tested object visited).
    // reserved is not read. True when anything was hit below this node.
    virtual bool PickRay(std::vector<_sTQPickingResultEntry>& hits, std::set<int>& visited, void* reserved,
                         const CTQVector3& start, const CTQVector3& end, eTQPickingBehaviour behaviour);
    // Inserts every object below, not yet in visited, that passes the clip test
    // of behaviour against the volume clipMin..clipMax of matrix (behaviour 6
    // tests the object's position, any other its stored box). True when
    // anything was inserted below this node.
    virtual bool PickFrustum(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix,
                             const CTQVector3& clipMin, const CTQVector3& clipMax, eTQPickingBehaviour behaviour);
    // Inserts every object of every leaf below whose box meets the clip volume
    // (-1, -1, -1)..(1, 1, 1) of matrix; objects are not tested one by one.
    virtual bool EnumerateVisible(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix);
    // Inserts the objects of the leaves below that meet the world rectangle
    // (borders count) and pass the test of behaviour (4 overlap, 6 centre
    // inside, any other none). True when anything was inserted below.
    virtual bool EnumerateRect(std::set<int>& results, std::set<int>& visited, float x0, float y0, float x1, float y1,
                               eTQPickingBehaviour behaviour);
    virtual void Disable();
    // RecomputeZRange after the same on every child.
    virtual void RecomputeZRangeDeep();
    // The union of the children's ranges; then tells the parent.
    virtual void RecomputeZRange();
    // A child's range changed: RecomputeZRange.
    virtual void ChildChanged();
    virtual float GetMinZ() const;
    virtual float GetMaxZ() const;
    virtual bool HasZRange() const;
    virtual void SetMinZ(float z);
    virtual void SetMaxZ(float z);
    virtual void SetZRangeValid(bool valid);
    virtual CTQObjectQuadNode* GetParentNode() const;
    virtual bool IsRootNode() const;

    bool IsDisabled() const { return m_bDisabled; }
    // The quadtree this node belongs to (null before the tree wires it).
    CTQObjectQuadtree* GetTree() const { return static_cast<CTQObjectQuadtree*>(GetClient()); }
    // The node's 3D box: its rectangle with its Z range.
    CTQVector3 GetBoxMin() const;
    CTQVector3 GetBoxMax() const;

    void Serialize(CTQDataStream& s) override;
    std::size_t GetNodeSize() const override { return sizeof(CTQObjectQuadNode); }

protected:
    // Loading never grows the tree: every node of a quadtree is one its tree
    // built, so data that names a child the tree lacks fails the stream.
    CTQGeomStructQuadNode* NewNode() const override;

    // Whether the node can hold anything: not disabled, with a Z range.
    bool IsActive() const { return !m_bDisabled && m_bZRangeValid; }
    CTQObjectQuadNode* ChildAt(int index) const { return static_cast<CTQObjectQuadNode*>(GetChild(index)); }
    // The recursive work behind AddObject, UpdateObject and VerifyObject, with
    // the boxes looked up once at the top.
    virtual bool FileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max);
    virtual bool RefileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max, const CTQVector3& oldMin,
                              const CTQVector3& oldMax);
    virtual bool CheckObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max);
    // Whether the box's X/Y extent overlaps this node's rectangle; borders
    // count. A box whose minimum lies above its maximum is empty and overlaps
    // nothing.
    bool Overlaps(const CTQVector3& min, const CTQVector3& max) const
    {
        return min.x <= GetMaxX() && GetMinX() <= max.x && min.y <= GetMaxY() && GetMinY() <= max.y;
    }
    // Widens the range being built by [minZ, maxZ] (the first one sets it).
    void WidenZRange(float minZ, float maxZ);
    // Recomputed after a change of this node's range: the parent's follows.
    void TellParent();

private:
    CTQObjectQuadNode* m_pParentNode = nullptr;
    float m_fMinZ = 0.0f;
    float m_fMaxZ = 0.0f;
    bool m_bZRangeValid = false;
    bool m_bDisabled = false;
};
