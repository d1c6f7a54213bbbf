#include <Framekit/Spatial/CTQObjectQuadLeaf.h>
#include <Framekit/Spatial/CTQObjectQuadtree.h>

#include "TQSpatialSupport.h"

#include <Framekit/Display/CTQVisual3d.h>
#include <Plinth/CTQDataStream.h>

namespace
{
const CTQVector3 kClipMin(-1.0f, -1.0f, -1.0f);
const CTQVector3 kClipMax(1.0f, 1.0f, 1.0f);
} // namespace

CTQObjectQuadLeaf::CTQObjectQuadLeaf() = default;
CTQObjectQuadLeaf::~CTQObjectQuadLeaf() = default;

void CTQObjectQuadLeaf::ClearObjects()
{
    m_oObjects.clear();
    SetZRangeValid(false);
}

// ---- Filing objects ----------------------------------------------------------

bool CTQObjectQuadLeaf::FileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max)
{
    if (IsDisabled() || !Overlaps(min, max))
        return false;
    m_oObjects.insert(id);
    RecomputeZRange();
    return true;
}

bool CTQObjectQuadLeaf::RemoveObject(std::int32_t id, const CTQVector3&, const CTQVector3&)
{
    if (m_oObjects.erase(id) == 0)
        return false;
    RecomputeZRange();
    return true;
}

bool CTQObjectQuadLeaf::RefileObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max,
                                     const CTQVector3&, const CTQVector3&)
{
    if (!IsDisabled() && Overlaps(min, max))
    {
        m_oObjects.insert(id);
        RecomputeZRange();
        return true;
    }
    return RemoveObject(id, min, max);
}

bool CTQObjectQuadLeaf::CheckObject(std::int32_t id, const CTQVector3& min, const CTQVector3& max)
{
    return HoldsObject(id) == (!IsDisabled() && Overlaps(min, max));
}

// ---- Queries ----------------------------------------------------------------------

bool CTQObjectQuadLeaf::PickRay(std::vector<_sTQPickingResultEntry>& hits, std::set<int>& visited, void*,
                                const CTQVector3& start, const CTQVector3& end, eTQPickingBehaviour)
{
    const CTQObjectQuadtree* tree = GetTree();
    if (!tree || !IsActive() || !TQSegmentMeetsBox(start, end, GetBoxMin(), GetBoxMax()))
        return false;
    bool hit = false;
    for (std::int32_t id : m_oObjects)
    {
        if (!visited.insert(id).second || !TQPeekObject(id))
            continue;
        const sQuadtreeObjectEntry* entry = tree->GetObjectEntry(id);
        _sTQPickingResultEntry result;
        if (entry && CTQObjectQuadtree::IntersectSegmentBox(start, end, entry->vMin, entry->vMax, result.vHitPoint,
                                                            result.fDistance))
        {
            result.nObjectId = id;
            hits.push_back(result);
            hit = true;
        }
    }
    return hit;
}

bool CTQObjectQuadLeaf::PickFrustum(std::set<int>& results, std::set<int>& visited, const CTQMatrix44& matrix,
                                    const CTQVector3& clipMin, const CTQVector3& clipMax,
                                    eTQPickingBehaviour behaviour)
{
    const CTQObjectQuadtree* tree = GetTree();
    if (!tree || !IsActive() ||
        !TQCheckInFrustrum(clipMin, clipMax, GetBoxMin(), GetBoxMax(), matrix, eTQPicking_Intersect))
        return false;
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        if (!visited.insert(id).second)
            continue;
        bool passes = false;
        if (behaviour == eTQPicking_ReferencePoint)
        {
            const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
            const CTQVector3 position = visual ? visual->GetPos() : CTQVector3();
            passes = visual && TQCheckInFrustrum(clipMin, clipMax, position, position, matrix, behaviour);
        }
        else if (const sQuadtreeObjectEntry* entry = tree->GetObjectEntry(id); entry && TQPeekObject(id))
            passes = TQCheckInFrustrum(clipMin, clipMax, entry->vMin, entry->vMax, matrix, behaviour);
        if (passes)
        {
            results.insert(id);
            found = true;
        }
    }
    return found;
}

// Every object of a leaf in view counts, so there is nothing to test twice:
// the result set itself keeps each object once.
bool CTQObjectQuadLeaf::EnumerateVisible(std::set<int>& results, std::set<int>&, const CTQMatrix44& matrix)
{
    if (!IsActive() || !TQCheckInFrustrum(kClipMin, kClipMax, GetBoxMin(), GetBoxMax(), matrix, eTQPicking_Intersect))
        return false;
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        if (!TQPeekObject(id))
            continue;
        results.insert(id);
        found = true;
    }
    return found;
}

bool CTQObjectQuadLeaf::EnumerateRect(std::set<int>& results, std::set<int>& visited, float x0, float y0, float x1,
                                      float y1, eTQPickingBehaviour behaviour)
{
    const CTQObjectQuadtree* tree = GetTree();
    if (!tree || !IsActive() || x0 > GetMaxX() || y0 > GetMaxY() || GetMinX() > x1 || GetMinY() > y1)
        return false;
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        if (!visited.insert(id).second || !TQPeekObject(id))
            continue;
        const sQuadtreeObjectEntry* entry = tree->GetObjectEntry(id);
        if (!entry)
            continue;
        bool passes = true;
        if (behaviour == eTQPicking_Inside)
            passes = x0 <= entry->vMax.x && y0 <= entry->vMax.y && entry->vMin.x <= x1 && entry->vMin.y <= y1;
        else if (behaviour == eTQPicking_ReferencePoint)
        {
            const CTQVector3 centre = (entry->vMin + entry->vMax) * 0.5f;
            passes = centre.x >= x0 && centre.x <= x1 && centre.y >= y0 && centre.y <= y1;
        }
        if (passes)
        {
            results.insert(id);
            found = true;
        }
    }
    return found;
}

// ---- Z range ------------------------------------------------------------------------

void CTQObjectQuadLeaf::RecomputeZRangeDeep()
{
    RecomputeZRange();
}

void CTQObjectQuadLeaf::RecomputeZRange()
{
    SetZRangeValid(false);
    if (const CTQObjectQuadtree* tree = GetTree())
        for (std::int32_t id : m_oObjects)
            if (const sQuadtreeObjectEntry* entry = tree->GetObjectEntry(id))
                WidenZRange(entry->vMin.z, entry->vMax.z);
    TellParent();
}

// ---- Stored form --------------------------------------------------------------------

void CTQObjectQuadLeaf::Serialize(CTQDataStream& s)
{
    CTQObjectQuadNode::Serialize(s);
    // Only ids the tree holds come back: a stored leaf cannot name an unknown object.
    const CTQObjectQuadtree* tree = GetTree();
    TQSerializeIdSet(s, m_oObjects, [tree](std::int32_t id) { return tree && tree->HasObject(id); });
}
