#pragma once

#include <Geodex/GeodexExport.h>

#include <cstddef>
#include <cstdint>

class CTQDataStream;

// A node of a quadtree over a 2D rectangle: up to four children, a generation
// (its depth, 0 at the root), and one client pointer that the node carries but
// never uses or frees.
//
// Children. Index 0 is the low-X low-Y quadrant, 1 high X low Y, 2 low X high Y,
// 3 high X high Y. A child is either attached (AddChild: the caller owns it and
// keeps it alive while it is attached, for instance in an array of nodes) or
// created by the node (CreateChild, and loading): those the node owns and
// deletes when they are removed, when the node is re-initialised and when it is
// destroyed. A node is a child of at most one parent, and a node can never be
// attached below itself, so the children always form a tree. A destroyed node
// does not touch the children it does not own.
//
// Rectangles. IsIn and Intersects count the borders: neighbouring quadrants
// both hold their shared edge, and GetNodeAt then takes the lower child index.
//
// Serialised form (Serialize, no bracket of its own): min X, min Y, max X,
// max Y (4-byte floats), generation (32-bit signed), a byte whose bit i tells
// that child i is present, then each present child's Serialize in index order,
// all little-endian. A derived class that adds fields writes them after the
// base part, so they follow the node's whole subtree.
class GEODEX_API CTQGeomStructQuadNode
{
public:
    static int _m_nDataFormatVersion;
    static int GetDataFormatVersion() { return _m_nDataFormatVersion; }
    virtual int _GetDataFormatVersion() const { return _m_nDataFormatVersion; }

    static constexpr int kNumChildren = 4;
    // Loading refuses a tree deeper than this: no quadtree needs more levels,
    // and damaged data must not recurse without bound.
    static constexpr int kMaxLoadDepth = 32;

    CTQGeomStructQuadNode();
    CTQGeomStructQuadNode(const CTQGeomStructQuadNode&) = delete;
    CTQGeomStructQuadNode& operator=(const CTQGeomStructQuadNode&) = delete;
    virtual ~CTQGeomStructQuadNode();

    // Back to a new node's state: children removed (owned ones deleted), the
    // rectangle all zero, generation 0, no client.
    virtual void Init();
    // Makes this node the root of its tree: generation 0 here and each node's
    // depth below it.
    void SetRoot() { SetGeneration(0); }

    // With bPropagate, each child (recursively) receives the quadrant of its
    // parent's rectangle that its index names, split at the midpoints.
    void SetBoundingBox(float minX, float minY, float maxX, float maxY, bool bPropagate = false);
    float GetMinX() const { return m_fMinX; }
    float GetMaxX() const { return m_fMaxX; }
    float GetMinY() const { return m_fMinY; }
    float GetMaxY() const { return m_fMaxY; }

    // Attaches a caller-owned node as child `index`; it takes this node's
    // generation + 1 (and its subtree follows). False, with a warning, for an
    // index outside 0..3, a taken slot, a null node, a node that already has a
    // parent, or this node itself or one of its ancestors.
    virtual bool AddChild(int index, CTQGeomStructQuadNode* child);
    // Creates an owned child (of the class NewNode makes) covering the quadrant
    // `index` of this node's rectangle, with generation + 1. Null when the
    // index is outside 0..3 or the slot is taken.
    CTQGeomStructQuadNode* CreateChild(int index);
    // Null for an empty slot or an index outside 0..3.
    CTQGeomStructQuadNode* GetChild(int index) const;
    // Detaches child `index`, deleting it when this node owns it. False when
    // there is no such child.
    virtual bool RemoveChild(int index);

    bool IsLeaf() const;
    bool IsInner() const { return !IsLeaf(); }

    bool IsIn(float x, float y) const { return x >= m_fMinX && x <= m_fMaxX && y >= m_fMinY && y <= m_fMaxY; }
    // Whether the rectangle (x0, y0)-(x1, y1), in either corner order, overlaps
    // this node's rectangle; touching borders count.
    bool Intersects(float x0, float y0, float x1, float y1) const;
    // The deepest node of this subtree whose rectangle holds the point; null
    // when this node's rectangle does not.
    CTQGeomStructQuadNode* GetNodeAt(float x, float y);
    const CTQGeomStructQuadNode* GetNodeAt(float x, float y) const;

    int GetGeneration() const { return m_nGeneration; }
    // Sets this node's generation and renumbers its subtree (child = parent + 1).
    void SetGeneration(int generation);

    void* GetClient() const { return m_pClient; }
    void SetClient(void* client) { m_pClient = client; }
    // Clears the client pointer and returns the one it held.
    void* RemoveClient();

    // Over the subtree of this node, this node included.
    int CountNodes() const;
    int CountLeaves() const;
    std::size_t CountBytes() const;
    // The memory of this one node; derived classes report their own size.
    virtual std::size_t GetNodeSize() const { return sizeof(CTQGeomStructQuadNode); }

    // Loading reuses the children that are there (an existing tree keeps its
    // node classes and ownership), creates owned children through NewNode for
    // slots the data fills and this node has not, and removes children the data
    // does not have. A failed stream creates nothing more.
    virtual void Serialize(CTQDataStream& s);

protected:
    // Makes the nodes that CreateChild and loading attach as owned children.
    virtual CTQGeomStructQuadNode* NewNode() const;

private:
    static bool IsValidIndex(int index) { return index >= 0 && index < kNumChildren; }
    bool HasInSubtree(const CTQGeomStructQuadNode* node) const;
    void Attach(int index, CTQGeomStructQuadNode* child, bool bOwned);
    void QuadrantOf(int index, float& minX, float& minY, float& maxX, float& maxY) const;
    std::uint8_t GetChildMask() const;
    void SerializeChild(CTQDataStream& s, int index, bool bPresent);

    CTQGeomStructQuadNode* m_apChild[kNumChildren] = {};
    void* m_pClient = nullptr;
    float m_fMinX = 0.0f;
    float m_fMinY = 0.0f;
    float m_fMaxX = 0.0f;
    float m_fMaxY = 0.0f;
    int m_nGeneration = 0;
    // Bit i: child i was made by this node and is deleted by it.
    std::uint8_t m_nOwnedMask = 0;
    bool m_bHasParent = false;
};
