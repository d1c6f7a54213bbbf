#include <Framekit/Spatial/CTQObjectQuadNode.h>
#include <Framekit/Spatial/CTQObjectQuadtree.h>

#include "TQSpatialSupport.h"

#include <Framekit/Display/CTQVisual3d.h>
#include <Plinth/CTQDataStream.h>
#include <Plinth/Log.h>

#include <algorithm>

namespace
{
const CTQVector3 kClipMin(-1.0f, -1.0f, -1.0f);
const CTQVector3 kClipMax(1.0f, 1.0f, 1.0f);
} // namespace

CTQObjectQuadNode::CTQObjectQuadNode() = default;
CTQObjectQuadNode::~CTQObjectQuadNode() = default;

bool CTQObjectQuadNode::SetChild(int index, CTQObjectQuadNode* node)
{
    if (!CTQGeomStructQuadNode::AddChild(index, node))
        return false;
    node->SetParentNode(this);
    return true;
}

void CTQObjectQuadNode::SetParentNode(CTQObjectQuadNode* node)
{
    m_pParentNode = node;
}

CTQGeomStructQuadNode* CTQObjectQuadNode::NewNode() const
{
    Debug_Warning("CTQObjectQuadNode::Serialize(): the stored tree has a node the grid does not have");
    return nullptr;
}

CTQVector3 CTQObjectQuadNode::GetBoxMin() const
{
    return CTQVector3(GetMinX(), GetMinY(), m_fMinZ);
}

CTQVector3 CTQObjectQuadNode::GetBoxMax() const
{
    return CTQVector3(GetMaxX(), GetMaxY(), m_fMaxZ);
}

// ---- Filing objects ----------------------------------------------------------

bool CTQObjectQuadNode::AddObject(std::int32_t id)
{
    const CTQObjectQuadtree* tree = GetTree();
    const sQuadtreeObjectEntry* entry = tree ? tree->GetObjectEntry(id) : nullptr;
    return entry && FileObject(id, entry->vMin, entry->vMax);
}

bool CTQObjectQuadNode::FileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max)
{
    if (m_bDisabled || !Overlaps(min, max))
        return false;
    bool filed = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            filed = child->FileObject(id, min, max) || filed;
    return filed;
}

bool CTQObjectQuadNode::RemoveObject(std::int32_t id, const CTQVector3& oldMin, const CTQVector3& oldMax)
{
    if (m_bDisabled || !Overlaps(oldMin, oldMax))
        return false;
    bool removed = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            removed = child->RemoveObject(id, oldMin, oldMax) || removed;
    return removed;
}

bool CTQObjectQuadNode::UpdateObject(std::int32_t id, const CTQVector3& oldMin, const CTQVector3& oldMax)
{
    const CTQObjectQuadtree* tree = GetTree();
    const sQuadtreeObjectEntry* entry = tree ? tree->GetObjectEntry(id) : nullptr;
    return entry && RefileObject(id, entry->vMin, entry->vMax, oldMin, oldMax);
}

// Descends where the object is or was, so that a moved object is reached in
// the leaves it leaves and in those it enters.
bool CTQObjectQuadNode::RefileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max,
                                     const CTQVector3& oldMin, const CTQVector3& oldMax)
{
    if (m_bDisabled || (!Overlaps(min, max) && !Overlaps(oldMin, oldMax)))
        return false;
    bool changed = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            changed = child->RefileObject(id, min, max, oldMin, oldMax) || changed;
    return changed;
}

bool CTQObjectQuadNode::VerifyObject(std::int32_t id)
{
    const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
    if (!visual)
        return false;
    CTQVector3 min;
    CTQVector3 max;
    visual->GetSystemBoundingBox(min, max);
    return CheckObject(id, min, max);
}

// Every leaf must agree, so one stale leaf anywhere below fails the node.
bool CTQObjectQuadNode::CheckObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max)
{
    bool sound = true;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            sound = child->CheckObject(id, min, max) && sound;
    return sound;
}

// ---- Queries ----------------------------------------------------------------------

bool CTQObjectQuadNode::PickRay(std::vector<_sTQPickingResultEntry>& hits, std::set<int>& visited, void* reserved,
                                const CTQVector3& start, const CTQVector3& end, eTQPickingBehaviour behaviour)
{
    if (!IsActive() || !TQSegmentMeetsBox(start, end, GetBoxMin(), GetBoxMax()))
        return false;
    bool hit = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            hit = child->PickRay(hits, visited, reserved, start, end, behaviour) || hit;
    return hit;
}

bool CTQObjectQuadNode::PickFrustum(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix,
                                    const CTQVector3& clipMin, const CTQVector3& clipMax,
                                    eTQPickingBehaviour behaviour)
{
    if (!IsActive() || !TQCheckInFrustrum(clipMin, clipMax, GetBoxMin(), GetBoxMax(), matrix, eTQPicking_Intersect))
        return false;
    bool found = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            found = child->PickFrustum(results, visited, matrix, clipMin, clipMax, behaviour) || found;
    return found;
}

bool CTQObjectQuadNode::EnumerateVisible(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix)
{
    if (!IsActive() || !TQCheckInFrustrum(kClipMin, kClipMax, GetBoxMin(), GetBoxMax(), matrix, eTQPicking_Intersect))
        return false;
    bool found = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            found = child->EnumerateVisible(results, visited, matrix) || found;
    return found;
}

bool CTQObjectQuadNode::EnumerateRect(std::set<int>& results, std::set<int>& visited, float x0, float y0, float x1,
                                      float y1, eTQPickingBehaviour behaviour)
{
    if (!IsActive() || x0 > GetMaxX() || y0 > GetMaxY() || GetMinX() > x1 || GetMinY() > y1)
        return false;
    bool found = false;
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            found = child->EnumerateRect(results, visited, x0, y0, x1, y1, behaviour) || found;
    return found;
}

// ---- Z range ------------------------------------------------------------------------

void CTQObjectQuadNode::Disable()
{
    m_bDisabled = true;
}

void CTQObjectQuadNode::RecomputeZRangeDeep()
{
    for (int i = 0; i < kNumChildren; ++i)
        if (CTQObjectQuadNode* child = ChildAt(i))
            child->RecomputeZRangeDeep();
    RecomputeZRange();
}

void CTQObjectQuadNode::RecomputeZRange()
{
    m_bZRangeValid = false;
    for (int i = 0; i < kNumChildren; ++i)
    {
        const CTQObjectQuadNode* child = ChildAt(i);
        if (child && child->HasZRange())
            WidenZRange(child->GetMinZ(), child->GetMaxZ());
    }
    TellParent();
}

void CTQObjectQuadNode::WidenZRange(float minZ, float maxZ)
{
    if (!m_bZRangeValid)
    {
        m_fMinZ = minZ;
        m_fMaxZ = maxZ;
        m_bZRangeValid = true;
        return;
    }
    m_fMinZ = std::min(m_fMinZ, minZ);
    m_fMaxZ = std::max(m_fMaxZ, maxZ);
}

void CTQObjectQuadNode::TellParent()
{
    if (!IsRootNode())
        m_pParentNode->ChildChanged();
}

void CTQObjectQuadNode::ChildChanged()
{
    RecomputeZRange();
}

float CTQObjectQuadNode::GetMinZ() const
{
    return m_fMinZ;
}

float CTQObjectQuadNode::GetMaxZ() const
{
    return m_fMaxZ;
}

bool CTQObjectQuadNode::HasZRange() const
{
    return m_bZRangeValid;
}

void CTQObjectQuadNode::SetMinZ(float z)
{
    m_fMinZ = z;
}

void CTQObjectQuadNode::SetMaxZ(float z)
{
    m_fMaxZ = z;
}

void CTQObjectQuadNode::SetZRangeValid(bool valid)
{
    m_bZRangeValid = valid;
}

CTQObjectQuadNode* CTQObjectQuadNode::GetParentNode() const
{
    return m_pParentNode;
}

bool CTQObjectQuadNode::IsRootNode() const
{
    return m_pParentNode == nullptr;
}

// ---- Stored form --------------------------------------------------------------------

void CTQObjectQuadNode::Serialize(CTQDataStream& s)
{
    CTQGeomStructQuadNode::Serialize(s);
    s.Serialize(m_fMinZ);
    s.Serialize(m_fMaxZ);
    s.Serialize(m_bZRangeValid);
    s.Serialize(m_bDisabled);
}
