#include <Framekit/Spatial/CTQObjectQuadtree.h>

#include "TQSpatialSupport.h"

#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Framekit/Resources/CTQResource.h>
#include <Framekit/Resources/CTQResourceRef.h>
#include <Geodex/CTQGeomUtilIntersections.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/CTQScopedLock.h>
#include <Plinth/Log.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

TQ_IMPLEMENT_CLASS_TYPE(CTQObjectQuadtree, CTQVisual, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQObjectQuadtree)

namespace
{
// The largest power of two an int holds.
constexpr int kLargestPowerOf2 = 1 << 30;
// A grid this small still gets a root with children: the tree is padded to 2 x 2.
constexpr int kSmallestPaddedSide = 2;
// The fewest bytes a stored leaf takes: rectangle, generation, child mask, Z
// range with its two flags, id count.
constexpr std::uint32_t kMinStoredLeafBytes = 16 + 4 + 1 + 10 + 4;
// A stored object: its id and its entry.
constexpr std::uint32_t kStoredObjectBytes = 4 + sQuadtreeObjectEntry::kStoredBytes;

bool IsFinite(float v)
{
    return std::isfinite(v);
}

bool SameBox(const sQuadtreeObjectEntry& entry, const CTQVector3& min, const CTQVector3& max)
{
    return entry.vMin == min && entry.vMax == max;
}

void WriteZeros(CTQDataStream& s, int count)
{
    for (int i = 0; i < count; ++i)
        s.Write<std::uint8_t>(0);
}

void SerializeVector(CTQDataStream& s, CTQVector3& v)
{
    s.Serialize(v.x);
    s.Serialize(v.y);
    s.Serialize(v.z);
}

// The 44 bytes of an entry; padding and reserved bytes are written as 0 and
// skipped when read.
void SerializeEntry(CTQDataStream& s, sQuadtreeObjectEntry& entry)
{
    const bool storing = s.IsStoring();
    s.Serialize(entry.bInTree);
    storing ? WriteZeros(s, 3 + 4) : static_cast<void>(s.Skip(3 + 4));
    SerializeVector(s, entry.vMin);
    storing ? WriteZeros(s, 4) : static_cast<void>(s.Skip(4));
    SerializeVector(s, entry.vMax);
    s.Serialize(entry.bFlag0);
    s.Serialize(entry.bFlag1);
    storing ? WriteZeros(s, 2) : static_cast<void>(s.Skip(2));
    s.Serialize(entry.nUserValue);
}
} // namespace

CTQObjectQuadtree::CTQObjectQuadtree() = default;

CTQObjectQuadtree::~CTQObjectQuadtree()
{
    // The map is emptied first, so that nothing an object does as it goes can
    // reach an entry that is being given back.
    const std::map<std::int32_t, sQuadtreeObjectEntry> objects = std::move(m_oObjects);
    m_oObjects.clear();
    CTQObjectDatabase* database = TQGetObjectDatabase();
    for (const auto& [id, entry] : objects)
    {
        if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(id); visual && visual->GetParent() == GetId())
        {
            visual->SetParent(-1);
            visual->SetRoot(-1);
        }
        if (database)
            database->ReleaseObject(id);
    }
}

// ---- Powers of two ----------------------------------------------------------

bool CTQObjectQuadtree::CheckPowerOf2(int n)
{
    return n >= 0 && GetPowerOf2_Lower(n) == n;
}

int CTQObjectQuadtree::GetPowerOf2_Lower(int n)
{
    if (n < 0)
        return -1;
    return n == 0 ? 0 : static_cast<int>(std::bit_floor(static_cast<unsigned>(n)));
}

int CTQObjectQuadtree::GetPowerOf2_Upper(int n)
{
    if (n < 0)
        return -1;
    if (CheckPowerOf2(n))
        return n;
    return n > kLargestPowerOf2 ? -1 : static_cast<int>(std::bit_ceil(static_cast<unsigned>(n)));
}

int CTQObjectQuadtree::GetPowerOf2_Exponent(int n)
{
    if (n < 0)
        return -1;
    return n <= 1 ? 0 : static_cast<int>(std::bit_width(static_cast<unsigned>(n - 1)));
}

// ---- Building the tree ------------------------------------------------------

void CTQObjectQuadtree::SetLeafDimensions(float width, float height)
{
    m_fLeafWidth = width;
    m_fLeafHeight = height;
    m_bLeafDimensionsSet = true;
}

void CTQObjectQuadtree::SetGridDimensions(int nx, int ny)
{
    m_nGridWidth = nx;
    m_nGridHeight = ny;
    m_bGridDimensionsSet = true;
}

void CTQObjectQuadtree::SetGridOffset(float x, float y)
{
    m_fOffsetX = x;
    m_fOffsetY = y;
}

bool CTQObjectQuadtree::HasUsableGrid() const
{
    if (m_nGridWidth < 1 || m_nGridHeight < 1 || m_nGridWidth > kMaxGridSide || m_nGridHeight > kMaxGridSide)
        return false;
    if (!IsFinite(m_fLeafWidth) || !IsFinite(m_fLeafHeight) || m_fLeafWidth <= 0.0f || m_fLeafHeight <= 0.0f)
        return false;
    // The far corner must be a number too.
    const float side = static_cast<float>(GetPowerOf2_Upper(std::max(m_nGridWidth, m_nGridHeight)));
    return IsFinite(m_fOffsetX) && IsFinite(m_fOffsetY) && IsFinite(m_fOffsetX + side * m_fLeafWidth) &&
           IsFinite(m_fOffsetY + side * m_fLeafHeight);
}

void CTQObjectQuadtree::FreeTree()
{
    m_bInitialised = false;
    m_pRoot = nullptr;
    m_pInnerNodes.reset();
    m_pLeaves.reset();
    m_nInnerNodeCount = -1;
    m_nLeafCount = -1;
}

void CTQObjectQuadtree::Init()
{
    FreeTree();
    if (!HasUsableGrid())
    {
        Debug_Warning("CTQObjectQuadtree::Init(): a grid of %d x %d patches of %g x %g at (%g, %g) cannot be built "
                      "(1 to %d patches a side, sizes above 0)",
                      m_nGridWidth, m_nGridHeight, static_cast<double>(m_fLeafWidth),
                      static_cast<double>(m_fLeafHeight), static_cast<double>(m_fOffsetX),
                      static_cast<double>(m_fOffsetY), kMaxGridSide);
        return;
    }
    const int side = std::max(kSmallestPaddedSide, GetPowerOf2_Upper(std::max(m_nGridWidth, m_nGridHeight)));
    m_nPaddedWidth = m_nPaddedHeight = side;
    m_fTotalWidth = static_cast<float>(side) * m_fLeafWidth;
    m_fTotalHeight = static_cast<float>(side) * m_fLeafHeight;

    // Exactly the nodes the build attaches: quadrants outside the grid get none.
    m_nLeafCount = m_nGridWidth * m_nGridHeight;
    m_nInnerNodeCount = CountInnerNodes(0, 0, side, side, m_nGridWidth, m_nGridHeight);
    m_pLeaves = std::make_unique<CTQObjectQuadLeaf[]>(static_cast<std::size_t>(m_nLeafCount));
    m_pInnerNodes = std::make_unique<CTQObjectQuadNode[]>(static_cast<std::size_t>(m_nInnerNodeCount));
    for (std::int32_t i = 0; i < m_nLeafCount; ++i)
        m_pLeaves[static_cast<std::size_t>(i)].SetClient(this);
    for (std::int32_t i = 0; i < m_nInnerNodeCount; ++i)
        m_pInnerNodes[static_cast<std::size_t>(i)].SetClient(this);

    m_pRoot = &m_pInnerNodes[0];
    int next = 1;
    BuildQuadtreeRecourse(*m_pRoot, 0, 0, side, side, m_nGridWidth, m_nGridHeight, next);
    m_pRoot->SetBoundingBox(m_fOffsetX, m_fOffsetY, m_fOffsetX + m_fTotalWidth, m_fOffsetY + m_fTotalHeight, true);
    m_pRoot->SetRoot();
    m_bInitialised = true;
    RefileAll();
}

// Mirrors BuildQuadtreeRecourse: the node of the block, and those of its
// quadrants that start inside the grid.
int CTQObjectQuadtree::CountInnerNodes(int x0, int y0, int x1, int y1, int nx, int ny)
{
    if (x1 - x0 < 3 || x0 >= nx || y0 >= ny)
        return 1;
    const int mx = (x0 + x1) >> 1;
    const int my = (y0 + y1) >> 1;
    const int quadrants[4][4] = {{x0, y0, mx, my}, {mx, y0, x1, my}, {x0, my, mx, y1}, {mx, my, x1, y1}};
    int count = 1;
    for (const auto& q : quadrants)
        if (q[2] > 0 && q[3] > 0 && q[0] < nx && q[1] < ny)
            count += CountInnerNodes(q[0], q[1], q[2], q[3], nx, ny);
    return count;
}

void CTQObjectQuadtree::BuildQuadtreeRecourse(CTQObjectQuadNode& node, int x0, int y0, int x1, int y1, int nx,
                                              int ny, int& next)
{
    if (x1 - x0 < 3)
    {
        AttachLeaves(node, x0, y0, nx, ny);
        return;
    }
    if (x0 >= nx || y0 >= ny)
    {
        node.Disable();
        return;
    }
    const int mx = (x0 + x1) >> 1;
    const int my = (y0 + y1) >> 1;
    const int quadrants[4][4] = {{x0, y0, mx, my}, {mx, y0, x1, my}, {x0, my, mx, y1}, {mx, my, x1, y1}};
    for (int i = 0; i < 4; ++i)
    {
        const int* q = quadrants[i];
        if (q[2] <= 0 || q[3] <= 0 || q[0] >= nx || q[1] >= ny || next >= m_nInnerNodeCount)
            continue;
        CTQObjectQuadNode& child = m_pInnerNodes[static_cast<std::size_t>(next++)];
        node.SetChild(i, &child);
        BuildQuadtreeRecourse(child, q[0], q[1], q[2], q[3], nx, ny, next);
    }
}

// A 2 x 2 block: child i is the leaf (x0 + (i & 1), y0 + (i >> 1)) when that
// patch is part of the grid.
void CTQObjectQuadtree::AttachLeaves(CTQObjectQuadNode& node, int x0, int y0, int nx, int ny)
{
    for (int i = 0; i < 4; ++i)
    {
        const int x = x0 + (i & 1);
        const int y = y0 + (i >> 1);
        if (x < nx && y < ny)
            node.SetChild(i, &m_pLeaves[static_cast<std::size_t>(x + y * m_nGridWidth)]);
    }
}

void CTQObjectQuadtree::RefileAll()
{
    if (!m_pRoot)
        return;
    for (const auto& [id, entry] : m_oObjects)
        m_pRoot->AddObject(id);
}

const CTQObjectQuadLeaf* CTQObjectQuadtree::GetLeaf(int x, int y) const
{
    if (!m_bInitialised || x < 0 || y < 0 || x >= m_nGridWidth || y >= m_nGridHeight)
        return nullptr;
    return &m_pLeaves[static_cast<std::size_t>(x + y * m_nGridWidth)];
}

const sQuadtreeObjectEntry* CTQObjectQuadtree::GetObjectEntry(std::int32_t id) const
{
    auto it = m_oObjects.find(id);
    return it == m_oObjects.end() ? nullptr : &it->second;
}

bool CTQObjectQuadtree::InitData(std::int32_t resourceId)
{
    CTQResourceRef res(resourceId);
    CTQVisual::InitData(resourceId);
    if (!res.IsValid())
    {
        Debug_Warning("CTQObjectQuadtree::InitData(): there is no resource %d to take the grid from", resourceId);
        return false;
    }
    float cellX = 1.0f;
    float cellY = 1.0f;
    int perPatchX = 1;
    int perPatchY = 1;
    int patchesX = 0;
    int patchesY = 0;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    const auto readFloat = [&res](const char* key, float& value) {
        if (res->HasAttribute(key))
            value = (*res)[key].GetFloat();
    };
    const auto readInt = [&res](const char* key, int& value) {
        if (res->HasAttribute(key))
            value = (*res)[key].GetInt();
    };
    readFloat("fCellResX", cellX);
    readFloat("fCellResY", cellY);
    readInt("nCellsPerPatchX", perPatchX);
    readInt("nCellsPerPatchY", perPatchY);
    readInt("nPatchesX", patchesX);
    readInt("nPatchesY", patchesY);
    readFloat("fLandscapeOffsetX", offsetX);
    readFloat("fLandscapeOffsetY", offsetY);
    SetLeafDimensions(static_cast<float>(perPatchX) * cellX, static_cast<float>(perPatchY) * cellY);
    SetGridDimensions(patchesX, patchesY);
    SetGridOffset(offsetX, offsetY);
    Init();
    return m_bInitialised;
}

// ---- Objects ------------------------------------------------------------------

bool CTQObjectQuadtree::AddObject(std::int32_t id, std::int32_t userValue)
{
    if (HasObject(id))
        return false;
    CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
    if (!visual)
        return false;
    visual->Update();
    sQuadtreeObjectEntry entry;
    visual->GetSystemBoundingBox(entry.vMin, entry.vMax);
    entry.nUserValue = userValue;
    m_oObjects.emplace(id, entry);
    return m_pRoot && m_pRoot->AddObject(id);
}

bool CTQObjectQuadtree::RemoveObject(std::int32_t id)
{
    auto it = m_oObjects.find(id);
    if (it == m_oObjects.end())
        return false;
    const sQuadtreeObjectEntry entry = it->second;
    const bool held = m_pRoot && m_pRoot->RemoveObject(id, entry.vMin, entry.vMax);
    // Out of the map before the object updates, so that its report finds no entry.
    m_oObjects.erase(it);
    m_oDirty.erase(id);
    m_oBlindDisplay.erase(id);
    TQCullReleasedVisual(id);
    return held;
}

// A visual the tree refuses is left as it is: its parent and its reference stay
// with the caller. One the tree takes leaves any other parent first (so that no
// visual has two) and is shown again if an earlier container culled it.
void CTQObjectQuadtree::AddVisual(std::int32_t id)
{
    CTQVisual3d* visual = TQAdoptVisual(*this, id, HasObject(id));
    if (!visual)
        return;
    AddObject(id, 0);
    TQSettleAdoptedVisual(*this, *visual);
}

void CTQObjectQuadtree::RemoveVisual(std::int32_t id)
{
    if (!HasObject(id))
        return;
    if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(id))
    {
        visual->SetParent(-1);
        visual->SetRoot(-1);
    }
    RemoveObject(id);
}

bool CTQObjectQuadtree::UpdateObject(std::int32_t id)
{
    auto it = m_oObjects.find(id);
    if (it == m_oObjects.end())
        return false;
    const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
    if (!visual)
        return false;
    const CTQVector3 oldMin = it->second.vMin;
    const CTQVector3 oldMax = it->second.vMax;
    visual->GetSystemBoundingBox(it->second.vMin, it->second.vMax);
    if (m_pRoot)
        m_pRoot->UpdateObject(id, oldMin, oldMax);
    return true;
}

bool CTQObjectQuadtree::VerifyObject(std::int32_t id)
{
    return HasObject(id) && m_pRoot && m_pRoot->VerifyObject(id);
}

void CTQObjectQuadtree::SetDirty(int id)
{
    CTQVisual::SetDirty(-1);
    if (id >= 0 && HasObject(id))
        m_oDirty.insert(id);
}

// The reports are taken before the objects update, so that a report made while
// they update is kept for the next Update().
void CTQObjectQuadtree::Update()
{
    const bool dirty = IsDirty();
    CTQVisual::Update();
    if (!dirty)
        return;
    std::set<std::int32_t> reported;
    reported.swap(m_oDirty);
    for (std::int32_t id : reported)
    {
        CTQVisual3d* visual = HasObject(id) ? TQPeekObjectAs<CTQVisual3d>(id) : nullptr;
        if (!visual)
            continue;
        visual->Update();
        CTQVector3 min;
        CTQVector3 max;
        visual->GetSystemBoundingBox(min, max);
        const sQuadtreeObjectEntry* entry = GetObjectEntry(id);
        if (entry && !SameBox(*entry, min, max))
            UpdateObject(id);
    }
}

void CTQObjectQuadtree::SetRoot(std::int32_t id)
{
    if (GetRoot() == id)
        return;
    CTQVisual::SetRoot(id);
    const std::int32_t effective = id >= 0 ? id : GetId();
    for (const auto& [objectId, entry] : m_oObjects)
        if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(objectId))
            visual->SetRoot(effective);
}

void CTQObjectQuadtree::RequestBlindDisplay(std::int32_t id)
{
    m_oBlindDisplay.insert(id);
}

void CTQObjectQuadtree::UnRequestBlindDisplay(std::int32_t id)
{
    m_oBlindDisplay.erase(id);
}

// ---- Display --------------------------------------------------------------------

void CTQObjectQuadtree::ForcePrecaching()
{
    m_bForcePrecaching = true;
}

void CTQObjectQuadtree::Precache(std::int32_t viewport)
{
    std::vector<std::int32_t> ids;
    ids.reserve(m_oObjects.size());
    for (const auto& [id, entry] : m_oObjects)
        ids.push_back(id);
    TQPrecacheVisuals(ids, viewport);
}

void CTQObjectQuadtree::Display(std::int32_t viewport)
{
    if (m_bForcePrecaching)
    {
        m_bForcePrecaching = false;
        Precache(viewport);
    }
    if (!IsVisible())
        return;
    m_oVisible.clear();
    EnumerateVisibleObjects(m_oVisible, viewport);
    DisplayObjects(viewport);
}

void CTQObjectQuadtree::DisplayObjects(std::int32_t viewport)
{
    for (int id : m_oVisible)
        if (CTQVisual* visual = HasObject(id) ? TQPeekObjectAs<CTQVisual>(id) : nullptr)
            visual->Display(viewport);
    // Objects that asked to be told of every frame even when unseen.
    for (std::int32_t id : m_oBlindDisplay)
        if (!m_oVisible.count(id))
            if (CTQVisual* visual = HasObject(id) ? TQPeekObjectAs<CTQVisual>(id) : nullptr)
                visual->BlindDisplay(viewport);
}

// ---- Queries --------------------------------------------------------------------

bool CTQObjectQuadtree::CheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                                        const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode)
{
    return TQCheckInFrustrum(lo, hi, boxMin, boxMax, matrix, mode);
}

// The faces in the order min Z, min Y, min X, max Z, max Y, max X; each as a
// corner and its two neighbours.
bool CTQObjectQuadtree::IntersectSegmentBox(const CTQVector3& start, const CTQVector3& end, const CTQVector3& boxMin,
                                            const CTQVector3& boxMax, CTQVector3& hitPoint, float& squaredDistance)
{
    for (int axis = 0; axis < 3; ++axis)
        if ((start[axis] < boxMin[axis] && end[axis] < boxMin[axis]) ||
            (start[axis] > boxMax[axis] && end[axis] > boxMax[axis]))
            return false;
    bool hit = false;
    float best = std::numeric_limits<float>::infinity();
    const int axes[6] = {2, 1, 0, 2, 1, 0};
    for (int face = 0; face < 6; ++face)
    {
        const int axis = axes[face];
        const float plane = face < 3 ? boxMin[axis] : boxMax[axis];
        const bool crosses = (start[axis] < plane && end[axis] > plane) || (start[axis] > plane && end[axis] < plane);
        if (!crosses)
            continue;
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        CTQVector3 corner = boxMin;
        corner[axis] = plane;
        CTQVector3 cornerU = corner;
        cornerU[u] = boxMax[u];
        CTQVector3 cornerV = corner;
        cornerV[v] = boxMax[v];
        bool outside = true;
        CTQVector3 point;
        if (!CTQGeomUtilIntersections::IntersectsSquare2Line3D(corner, cornerU, cornerV, start, end, true, false,
                                                               outside, &point) ||
            outside)
            continue;
        const float distance = (point - start).SquareLength();
        if (!hit || distance < best)
        {
            best = distance;
            hitPoint = point;
        }
        hit = true;
    }
    if (hit)
        squaredDistance = best;
    return hit;
}

void CTQObjectQuadtree::AssureTempResultBufferSize(int count)
{
    if (count <= m_nTempCapacity)
        return;
    m_nTempCapacity = ((count >> 8) + 1) << 8;
    m_aTempResults.resize(static_cast<std::size_t>(m_nTempCapacity));
}

bool CTQObjectQuadtree::PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                                      eTQPickingBehaviour behaviour)
{
    CTQScopedLock<CTQMutex> lock(m_oMutex);
    sTQSpatialView view;
    if (!m_pRoot || !TQGetSpatialView(viewport, "CTQObjectQuadtree::PickObjectsAt()", true, view))
        return false;
    float ndcX = 0.0f;
    float ndcY = 0.0f;
    TQPixelToDevice(view, x, y, ndcX, ndcY);
    CTQVector3 start;
    CTQVector3 end;
    if (!TQGetPickSegment(view, ndcX, ndcY, start, end))
    {
        Debug_Warning("CTQObjectQuadtree::PickObjectsAt(): viewport %d gives no view ray at (%d, %d)", viewport, x,
                      y);
        return false;
    }
    m_aPickHits.clear();
    m_oVisited.clear();
    m_pRoot->PickRay(m_aPickHits, m_oVisited, nullptr, start, end, behaviour);
    const int count = static_cast<int>(m_aPickHits.size());
    if (count < 1)
        return false;
    AssureTempResultBufferSize(count);
    const auto first = m_aTempResults.begin();
    std::copy(m_aPickHits.begin(), m_aPickHits.end(), first);
    if (count > 1 && (behaviour == eTQPicking_Nearest || behaviour == eTQPicking_AllSorted))
        // Equal distances are ordered by id, so that a pick always reports alike.
        std::sort(first, first + count, [](const _sTQPickingResultEntry& a, const _sTQPickingResultEntry& b) {
            return a.fDistance != b.fDistance ? a.fDistance < b.fDistance : a.nObjectId < b.nObjectId;
        });
    hits.insert(hits.end(), first, first + (behaviour == eTQPicking_Nearest ? 1 : count));
    return true;
}

bool CTQObjectQuadtree::PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                          eTQPickingBehaviour behaviour)
{
    CTQScopedLock<CTQMutex> lock(m_oMutex);
    sTQSpatialView view;
    if (!m_pRoot || !TQGetSpatialView(viewport, "CTQObjectQuadtree::PickObjectsInRect()", false, view))
        return false;
    CTQVector3 a;
    CTQVector3 b;
    TQPixelToDevice(view, x0, y0, a.x, a.y);
    TQPixelToDevice(view, x1, y1, b.x, b.y);
    const CTQVector3 clipMin(std::min(a.x, b.x), std::min(a.y, b.y), -1.0f);
    const CTQVector3 clipMax(std::max(a.x, b.x), std::max(a.y, b.y), 1.0f);
    m_oVisited.clear();
    return m_pRoot->PickFrustum(ids, m_oVisited, view.clipFromWorld, clipMin, clipMax, behaviour);
}

// Runs on the caller's thread without the mutex: it uses no buffer of the picks.
bool CTQObjectQuadtree::EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport)
{
    sTQSpatialView view;
    if (!m_pRoot || !TQGetSpatialView(viewport, "CTQObjectQuadtree::EnumerateVisibleObjects()", false, view))
        return false;
    std::set<int> visited;
    return m_pRoot->EnumerateVisible(ids, visited, view.clipFromWorld);
}

bool CTQObjectQuadtree::EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                               eTQPickingBehaviour behaviour)
{
    if (!m_pRoot)
        return false;
    std::set<int> visited;
    return m_pRoot->EnumerateRect(ids, visited, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1),
                                  std::max(y0, y1), behaviour);
}

// ---- Stored form ----------------------------------------------------------------

void CTQObjectQuadtree::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQVisual>(s, *this);
    SerializeHeader(s);
    if (s.IsFailed())
        return;
    SerializeObjects(s);
    SerializeIdSet(s, m_oDirty, m_oObjects);
    SerializeIdSet(s, m_oBlindDisplay, m_oObjects);
    if (s.IsStoring())
    {
        if (m_pRoot)
            m_pRoot->Serialize(s);
        return;
    }
    if (m_pRoot)
        LoadTree(s);
}

// A tree without a grid stores a grid of 0 x 0, and no nodes follow.
void CTQObjectQuadtree::SerializeHeader(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(m_fLeafWidth);
        s.Write(m_fLeafHeight);
        s.Write<std::int32_t>(m_bInitialised ? m_nGridWidth : 0);
        s.Write<std::int32_t>(m_bInitialised ? m_nGridHeight : 0);
        s.Write<std::int32_t>(m_nPaddedWidth);
        s.Write<std::int32_t>(m_nPaddedHeight);
        s.Write(m_fTotalWidth);
        s.Write(m_fTotalHeight);
        s.Write(m_fOffsetX);
        s.Write(m_fOffsetY);
        return;
    }
    float leaf[2] = {};
    std::int32_t grid[4] = {};
    float total[2] = {};
    float offset[2] = {};
    const bool read = s.Read(leaf[0]) && s.Read(leaf[1]) && s.Read(grid[0]) && s.Read(grid[1]) && s.Read(grid[2]) &&
                      s.Read(grid[3]) && s.Read(total[0]) && s.Read(total[1]) && s.Read(offset[0]) &&
                      s.Read(offset[1]);
    // The map and sets are replaced before the tree is built, so that Init
    // files nothing of what the tree held before.
    m_oObjects.clear();
    m_oDirty.clear();
    m_oBlindDisplay.clear();
    FreeTree();
    if (!read)
        return;
    SetLeafDimensions(leaf[0], leaf[1]);
    SetGridDimensions(grid[0], grid[1]);
    SetGridOffset(offset[0], offset[1]);
    if (grid[0] == 0 && grid[1] == 0)
        return;
    // Padded and total sizes follow from the rest and are computed again.
    if (!HasUsableGrid() ||
        !s.CheckCount(static_cast<std::uint32_t>(grid[0]) * static_cast<std::uint32_t>(grid[1]), kMinStoredLeafBytes))
    {
        Debug_Warning("CTQObjectQuadtree::Serialize(): a stored grid of %d x %d patches cannot be built", grid[0],
                      grid[1]);
        s.SetFailed();
        return;
    }
    Init();
}

void CTQObjectQuadtree::SerializeObjects(CTQDataStream& s)
{
    if (s.IsStoring())
    {
        s.Write(static_cast<std::int32_t>(m_oObjects.size()));
        for (auto& [id, entry] : m_oObjects)
        {
            s.Write(id);
            SerializeEntry(s, entry);
        }
        return;
    }
    std::int32_t count = 0;
    if (!s.Read(count) || count < 0 || !s.CheckCount(static_cast<std::uint32_t>(count), kStoredObjectBytes))
    {
        s.SetFailed();
        return;
    }
    for (std::int32_t i = 0; i < count && !s.IsFailed(); ++i)
    {
        std::int32_t id = -1;
        sQuadtreeObjectEntry entry;
        s.Read(id);
        SerializeEntry(s, entry);
        if (!s.IsFailed())
            m_oObjects[id] = entry;
    }
}

// Loading keeps only the ids that known holds.
void CTQObjectQuadtree::SerializeIdSet(CTQDataStream& s, std::set<std::int32_t>& ids,
                                       const std::map<std::int32_t, sQuadtreeObjectEntry>& known)
{
    if (s.IsStoring())
    {
        s.Write(static_cast<std::int32_t>(ids.size()));
        for (std::int32_t id : ids)
            s.Write(id);
        return;
    }
    ids.clear();
    std::int32_t count = 0;
    if (s.IsFailed() || !s.Read(count) || count < 0 ||
        !s.CheckCount(static_cast<std::uint32_t>(count), sizeof(std::int32_t)))
    {
        s.SetFailed();
        return;
    }
    for (std::int32_t i = 0; i < count; ++i)
    {
        std::int32_t id = -1;
        if (s.Read(id) && known.count(id))
            ids.insert(id);
    }
}

// The stored nodes are read through (the leaves dropping ids the map does not
// hold) and checked against the grid, then the tree is built afresh from the
// map: the leaves and Z ranges are what the stored boxes make of them, so the
// tree holds its invariants whatever the stored nodes said.
void CTQObjectQuadtree::LoadTree(CTQDataStream& s)
{
    if (s.IsFailed())
    {
        Init();
        return;
    }
    m_pRoot->Serialize(s);
    const bool fits = !s.IsFailed() && m_pRoot->CountNodes() == m_nInnerNodeCount + m_nLeafCount;
    if (!fits)
    {
        Debug_Warning("CTQObjectQuadtree::Serialize(): the stored nodes do not fit a grid of %d x %d patches",
                      m_nGridWidth, m_nGridHeight);
        s.SetFailed();
    }
    Init();
}
