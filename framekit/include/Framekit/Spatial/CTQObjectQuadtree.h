#pragma once

#include <Framekit/Display/CTQVisual.h>
#include <Framekit/FramekitExport.h>
#include <Framekit/Spatial/CTQObjectQuadLeaf.h>
#include <Framekit/Spatial/CTQObjectQuadNode.h>
#include <Framekit/Spatial/_sTQPickingResultEntry.h>
#include <Framekit/Spatial/eTQPickingBehaviour.h>
#include <Framekit/Spatial/sQuadtreeObjectEntry.h>
#include <Geodex/CTQMatrix44.h>
#include <Geodex/CTQVector3.h>
#include <Plinth/CTQMutex.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <vector>

class CTQDataStream;

// A visual that holds the 3D visuals of a landscape and answers fast which of
// them a viewport can see, which lie under a screen point, which in a screen
// rectangle and which in a world rectangle.
//
// The landscape is a grid of equal patches on the ground plane (X/Y; Z is
// height). Each patch is a leaf of a quadtree whose inner nodes cover 2 x 2,
// 4 x 4, ... patches of the grid padded to a power of two; quadrants wholly
// outside the grid get no node. Child order at every level: 0 low X low Y,
// 1 high X low Y, 2 low X high Y, 3 high X high Y. Leaf (x, y) covers
// offsetX + x * leafWidth .. offsetX + (x + 1) * leafWidth on X, the same on Y.
//
// Objects are known by id and looked up in the current object database when
// they are needed; they must be 3D visuals. The tree files each object by its
// system bounding box as stored in its entry (sQuadtreeObjectEntry).
// Invariants: a leaf holds an id exactly when the id's stored box overlaps the
// patch (borders count); every node's Z range is the union of the stored boxes
// below it. An object that moves reports to the tree (its parent) and is
// refiled in the next Update(); an object that leaves the grid stays in the
// object map, in no leaf.
//
// References: the tree holds one reference on each object of its map, the one
// the caller hands over with AddVisual; RemoveVisual hands it back, and the
// tree's destruction gives each back through the object database. A visual the
// tree refuses stays the caller's, its parent unchanged.
//
// Threads: PickObjectsAt and PickObjectsInRect hold the tree's mutex while they
// run (they share the pick buffers); the other operations run unlocked on the
// caller's thread and use no buffer that a pick touches, so picks may run on
// other threads while the game thread displays, as long as nothing changes the
// tree meanwhile.
//
// Configuration (resource attributes read by InitData): "fCellResX",
// "fCellResY" (size of one cell, default 1), "nCellsPerPatchX",
// "nCellsPerPatchY" (cells per patch, default 1), "nPatchesX", "nPatchesY"
// (patches in the grid; required), "fLandscapeOffsetX", "fLandscapeOffsetY"
// (world position of the grid's lower corner, default 0).
//
// Stored form (after the framed visual part, unframed): leaf width, leaf
// height (floats), grid width, grid height, padded width, padded height
// (32-bit), total width, total height, offset X, offset Y (floats); the object
// count and per object its id and 44-byte entry; the dirty-set count and ids;
// the blind-display-set count and ids; then the root node's stored form (only
// when the tree is initialised).
class FRAMEKIT_API CTQObjectQuadtree : public CTQVisual
{
public:
    TQ_DECLARE_CLASS_TYPE(CTQObjectQuadtree)

    // The most patches a grid may have along either side.
    static constexpr int kMaxGridSide = 1024;

    // Empty and not initialised: every query answers false until Init (through
    // InitData or loading) has built the tree.
    CTQObjectQuadtree();
    CTQObjectQuadtree(const CTQObjectQuadtree&) = delete;
    CTQObjectQuadtree& operator=(const CTQObjectQuadtree&) = delete;
    // Gives back the reference on every object still held, through the object
    // database (an object already gone is skipped).
    ~CTQObjectQuadtree() override;

    // Reads the grid from the resource and builds the tree. False, with a
    // diagnostic, when the resource is missing or its grid unusable (see Init).
    bool InitData(std::int32_t resourceId) override;
    // Loading checks every count against the bytes left, drops ids the object
    // map does not hold, and rebuilds the leaves from the object map when the
    // stored tree does not fit the grid; such data fails the stream.
    void Serialize(CTQDataStream& s) override;
    // Precache on every object held.
    void Precache(std::int32_t viewport) override;
    // Precaches first when ForcePrecaching() asked for it. When visible:
    // displays every object of the leaves that the viewport can see, then asks
    // every object that requested blind display and was not displayed for its
    // BlindDisplay. The tree itself draws nothing.
    void Display(std::int32_t viewport) override;
    // AddObject(id, 0); when the tree took the object into its map, the object
    // leaves any other parent visual and takes this tree as its parent.
    void AddVisual(std::int32_t id) override;
    // For an object of the map: parent and root -1, then RemoveObject.
    void RemoveVisual(std::int32_t id) override;
    // When dirty: the visual's update phases, then every object that reported
    // a change is updated and refiled when its system box moved.
    void Update() override;
    // Marks the tree dirty; an id of the map (a child reporting) is noted for
    // the next Update().
    void SetDirty(int id) override;
    // As the visual's, reaching the objects held: they are the container's
    // children, though it keeps no child list.
    void SetRoot(std::int32_t id) override;
    // The tree handles its objects' blind-display requests itself (see Display).
    void RequestBlindDisplay(std::int32_t id) override;
    void UnRequestBlindDisplay(std::int32_t id) override;

    // Refiles the object by its current system box. False for an id not in
    // the map or an object that is not a live 3D visual.
    virtual bool UpdateObject(std::int32_t id);
    // Whether the leaves agree with the object's current system box (see
    // CTQObjectQuadNode::VerifyObject). False for an id not in the map.
    virtual bool VerifyObject(std::int32_t id);
    // Appends the objects whose boxes the view ray through pixel (x, y) meets
    // between the near and far planes: every hit (behaviour 0 or other values),
    // every hit nearest first (3) or only the nearest (1). The caller's vector
    // is not cleared. False, appending nothing, when nothing is hit or the
    // viewport (or its camera, size or projection) cannot be used.
    virtual bool PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                               eTQPickingBehaviour behaviour);
    // Inserts the objects in the volume under the pixel rectangle: boxes that
    // meet it (5), lie wholly inside (4), positions inside (6), or every object
    // of a leaf that meets it (other values). True when any was inserted.
    virtual bool PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                   eTQPickingBehaviour behaviour);
    // Inserts every object of the leaves that the viewport can see. True when
    // any was inserted.
    virtual bool EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport);
    // Inserts the objects of the leaves that meet the world rectangle (borders
    // count; corners in either order): boxes that overlap it (4), box centres
    // inside (6), or all (other values). True when any was inserted.
    virtual bool EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                        eTQPickingBehaviour behaviour);
    // The next Display() precaches first.
    virtual void ForcePrecaching();

    // Powers of two; each returns -1 for a negative argument.
    // True for 0 and every power of two.
    static bool CheckPowerOf2(int n);
    // n when it is a power of two (0 for 0), else the next power above; -1
    // when that does not fit an int (n above 2^30).
    static int GetPowerOf2_Upper(int n);
    // The largest power of two not above n; 0 for 0.
    static int GetPowerOf2_Lower(int n);
    // log2 of the upper power (0 for 0 and 1; 31 above 2^30).
    static int GetPowerOf2_Exponent(int n);
    // Where the segment start..end enters or leaves the box through one of its
    // faces, nearest to start: hitPoint and the squared distance from start.
    // A segment that lies wholly inside the box, or misses it, does not hit
    // (outputs untouched).
    static bool IntersectSegmentBox(const CTQVector3& start, const CTQVector3& end, const CTQVector3& boxMin,
                                    const CTQVector3& boxMax, CTQVector3& hitPoint, float& squaredDistance);

    // ---- Inspection --------------------------------------------------------
    bool IsInitialised() const { return m_bInitialised; }
    float GetLeafWidth() const { return m_fLeafWidth; }
    float GetLeafHeight() const { return m_fLeafHeight; }
    int GetGridWidth() const { return m_nGridWidth; }
    int GetGridHeight() const { return m_nGridHeight; }
    int GetPaddedGridWidth() const { return m_nPaddedWidth; }
    int GetPaddedGridHeight() const { return m_nPaddedHeight; }
    float GetTotalWidth() const { return m_fTotalWidth; }
    float GetTotalHeight() const { return m_fTotalHeight; }
    float GetOffsetX() const { return m_fOffsetX; }
    float GetOffsetY() const { return m_fOffsetY; }
    // -1 before Init.
    std::int32_t GetInnerNodeCount() const { return m_nInnerNodeCount; }
    std::int32_t GetLeafCount() const { return m_nLeafCount; }
    // Null before Init.
    const CTQObjectQuadNode* GetRootNode() const { return m_pRoot; }
    // The leaf of patch (x, y); null outside the grid or before Init.
    const CTQObjectQuadLeaf* GetLeaf(int x, int y) const;
    std::int32_t GetObjectCount() const { return static_cast<std::int32_t>(m_oObjects.size()); }
    bool HasObject(std::int32_t id) const { return m_oObjects.count(id) != 0; }
    // The object's entry, or null for an id not in the map.
    const sQuadtreeObjectEntry* GetObjectEntry(std::int32_t id) const;
    const std::map<std::int32_t, sQuadtreeObjectEntry>& GetObjects() const { return m_oObjects; }
    const std::set<std::int32_t>& GetDirtyObjects() const { return m_oDirty; }
    const std::set<std::int32_t>& GetBlindDisplayObjects() const { return m_oBlindDisplay; }

protected:
    // Takes a 3D visual into the map (the caller's reference with it) and
    // files it. False for an id already held or an object that is not a 3D
    // visual (not taken), and for one that no leaf took (taken: it lies
    // outside the grid or the tree has no grid yet).
    virtual bool AddObject(std::int32_t id, std::int32_t userValue);
    // Takes the object out of the leaves and the map, marks it culled and
    // updates it; its reference goes back to the caller. False for an id not
    // in the map; otherwise whether some leaf held it.
    virtual bool RemoveObject(std::int32_t id);
    // The three setters only store their values.
    virtual void SetLeafDimensions(float width, float height);
    virtual void SetGridDimensions(int nx, int ny);
    virtual void SetGridOffset(float x, float y);
    // Builds the tree for the stored grid, replacing any earlier one, and
    // files every object of the map again. A grid of fewer than 2 patches on
    // its longer side is padded to 2 x 2. Refused, with a diagnostic and the
    // tree left uninitialised, when a grid side is below 1 or above
    // kMaxGridSide, or the leaf size or offset is not a finite number (sizes
    // above 0).
    virtual void Init();
    // Attaches to node the nodes of the block x0..x1, y0..y1 (exclusive ends)
    // of a grid nx x ny, taking inner nodes from next on.
    virtual void BuildQuadtreeRecourse(CTQObjectQuadNode& node, int x0, int y0, int x1, int y1, int nx, int ny,
                                       int& next);
    // Whether the box passes the clip test of mode against the volume lo..hi
    // of matrix (corners as column vectors with w = 1, outcodes against w):
    // 5 when not all corners lie beyond one plane, 4 and 6 when every corner
    // lies inside, any other mode always.
    static bool CheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                                const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode);

private:
    void AssureTempResultBufferSize(int count);
    bool HasUsableGrid() const;
    void FreeTree();
    static int CountInnerNodes(int x0, int y0, int x1, int y1, int nx, int ny);
    void AttachLeaves(CTQObjectQuadNode& node, int x0, int y0, int nx, int ny);
    void RefileAll();
    void SerializeHeader(CTQDataStream& s);
    void SerializeObjects(CTQDataStream& s);
    static void SerializeIdSet(CTQDataStream& s, std::set<std::int32_t>& ids,
                               const std::map<std::int32_t, sQuadtreeObjectEntry>& known);
    void LoadTree(CTQDataStream& s);
    void DisplayObjects(std::int32_t viewport);

    std::unique_ptr<CTQObjectQuadNode[]> m_pInnerNodes;
    std::int32_t m_nInnerNodeCount = -1;
    std::unique_ptr<CTQObjectQuadLeaf[]> m_pLeaves;
    std::int32_t m_nLeafCount = -1;
    CTQObjectQuadNode* m_pRoot = nullptr;
    std::map<std::int32_t, sQuadtreeObjectEntry> m_oObjects;
    std::set<std::int32_t> m_oDirty;
    std::set<std::int32_t> m_oBlindDisplay;
    float m_fLeafWidth = 0.0f;
    float m_fLeafHeight = 0.0f;
    int m_nGridWidth = 0;
    int m_nGridHeight = 0;
    int m_nPaddedWidth = 0;
    int m_nPaddedHeight = 0;
    float m_fTotalWidth = 0.0f;
    float m_fTotalHeight = 0.0f;
    float m_fOffsetX = 0.0f;
    float m_fOffsetY = 0.0f;
    bool m_bLeafDimensionsSet = false;
    bool m_bGridDimensionsSet = false;
    bool m_bInitialised = false;
    // The picks' buffers, touched only under m_oMutex.
    std::vector<_sTQPickingResultEntry> m_aTempResults;
    int m_nTempCapacity = 0;
    std::set<int> m_oVisited;
    std::vector<_sTQPickingResultEntry> m_aPickHits;
    // Filled by Display() only.
    std::set<int> m_oVisible;
    CTQMutex m_oMutex;
    bool m_bForcePrecaching = false;
};
