#include <Framekit/Spatial/CTQObjectOcttree.h>

#include "TQSpatialSupport.h"

#include <Framekit/Display/CTQVisual3d.h>
#include <Framekit/ObjectModel/CTQObjectDatabase.h>
#include <Framekit/ObjectModel/TQSerialize.h>
#include <Plinth/CTQDataStream.h>

#include <algorithm>

TQ_IMPLEMENT_CLASS_TYPE(CTQObjectOcttree, CTQVisual, kTQDefaultDataFormatVersion)
TQ_REGISTER_OBJECT_FACTORY(CTQObjectOcttree)

namespace
{
const CTQVector3 kClipMin(-1.0f, -1.0f, -1.0f);
const CTQVector3 kClipMax(1.0f, 1.0f, 1.0f);

bool BoxInVolume(const CTQVisual3d& visual, const CTQMatrix44& matrix, const CTQVector3& lo, const CTQVector3& hi)
{
    CTQVector3 min;
    CTQVector3 max;
    visual.GetSystemBoundingBox(min, max);
    return TQCheckInFrustrum(lo, hi, min, max, matrix, eTQPicking_Intersect);
}
} // namespace

CTQObjectOcttree::CTQObjectOcttree() = default;

CTQObjectOcttree::~CTQObjectOcttree()
{
    const std::set<std::int32_t> objects = std::move(m_oObjects);
    m_oObjects.clear();
    CTQObjectDatabase* database = TQGetObjectDatabase();
    for (std::int32_t id : objects)
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

bool CTQObjectOcttree::InitData(std::int32_t resourceId)
{
    return CTQVisual::InitData(resourceId);
}

bool CTQObjectOcttree::CheckInFrustrum(const CTQVector3& lo, const CTQVector3& hi, const CTQVector3& boxMin,
                                       const CTQVector3& boxMax, const CTQMatrix44& matrix, eTQPickingBehaviour mode)
{
    return TQCheckInFrustrum(lo, hi, boxMin, boxMax, matrix, mode);
}

// ---- Objects ------------------------------------------------------------------

bool CTQObjectOcttree::AddObject(std::int32_t id)
{
    CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
    if (!visual || HasObject(id))
        return false;
    visual->Update();
    m_oObjects.insert(id);
    return true;
}

// Erased before the object updates, so that the object's report finds it gone.
bool CTQObjectOcttree::RemoveObject(std::int32_t id)
{
    if (m_oObjects.erase(id) == 0)
        return false;
    TQCullReleasedVisual(id);
    return true;
}

// As the quadtree's: refused visuals stay as they are; taken ones leave their
// other parent and are shown again if an earlier container culled them.
void CTQObjectOcttree::AddVisual(std::int32_t id)
{
    CTQVisual3d* visual = TQAdoptVisual(*this, id, HasObject(id));
    if (!visual)
        return;
    AddObject(id);
    TQSettleAdoptedVisual(*this, *visual);
}

void CTQObjectOcttree::RemoveVisual(std::int32_t id)
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

void CTQObjectOcttree::Update()
{
    const bool dirty = IsDirty();
    CTQVisual::Update();
    if (!dirty)
        return;
    // By value: an object's update may add or remove objects.
    const std::vector<std::int32_t> ids(m_oObjects.begin(), m_oObjects.end());
    for (std::int32_t id : ids)
        if (CTQVisual3d* visual = HasObject(id) ? TQPeekObjectAs<CTQVisual3d>(id) : nullptr)
            visual->Update();
}

void CTQObjectOcttree::SetRoot(std::int32_t id)
{
    if (GetRoot() == id)
        return;
    CTQVisual::SetRoot(id);
    const std::int32_t effective = id >= 0 ? id : GetId();
    for (std::int32_t objectId : m_oObjects)
        if (CTQVisual* visual = TQPeekObjectAs<CTQVisual>(objectId))
            visual->SetRoot(effective);
}

// ---- Display --------------------------------------------------------------------

void CTQObjectOcttree::ForcePrecaching()
{
    m_bForcePrecaching = true;
}

void CTQObjectOcttree::Precache(std::int32_t viewport)
{
    TQPrecacheVisuals(std::vector<std::int32_t>(m_oObjects.begin(), m_oObjects.end()), viewport);
}

void CTQObjectOcttree::Display(std::int32_t viewport)
{
    if (m_bForcePrecaching)
    {
        m_bForcePrecaching = false;
        Precache(viewport);
    }
    if (!IsVisible())
        return;
    sTQSpatialView view;
    const bool seen = TQGetSpatialView(viewport, "CTQObjectOcttree::Display()", false, view);
    const std::vector<std::int32_t> ids(m_oObjects.begin(), m_oObjects.end());
    for (std::int32_t id : ids)
    {
        CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
        if (!visual)
            continue;
        if ((visual->GetStyle() & kStyleAlwaysDisplayed) != 0 ||
            (seen && BoxInVolume(*visual, view.clipFromWorld, kClipMin, kClipMax)))
            visual->Display(viewport);
    }
}

// ---- Queries --------------------------------------------------------------------

bool CTQObjectOcttree::CollectInVolume(std::set<int>& ids, const CTQMatrix44& matrix, const CTQVector3& lo,
                                       const CTQVector3& hi)
{
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
        if (visual && BoxInVolume(*visual, matrix, lo, hi))
        {
            ids.insert(id);
            found = true;
        }
    }
    return found;
}

bool CTQObjectOcttree::EnumerateVisibleObjects(std::set<int>& ids, std::int32_t viewport)
{
    sTQSpatialView view;
    if (!TQGetSpatialView(viewport, "CTQObjectOcttree::EnumerateVisibleObjects()", false, view))
        return false;
    return CollectInVolume(ids, view.clipFromWorld, kClipMin, kClipMax);
}

bool CTQObjectOcttree::PickObjectsAt(std::vector<_sTQPickingResultEntry>& hits, std::int32_t viewport, int x, int y,
                                     eTQPickingBehaviour)
{
    sTQSpatialView view;
    if (!TQGetSpatialView(viewport, "CTQObjectOcttree::PickObjectsAt()", false, view))
        return false;
    float ndcX = 0.0f;
    float ndcY = 0.0f;
    TQPixelToDevice(view, x, y, ndcX, ndcY);
    const CTQVector3 lo(ndcX, ndcY, -1.0f);
    const CTQVector3 hi(ndcX, ndcY, 1.0f);
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
        if (visual && BoxInVolume(*visual, view.clipFromWorld, lo, hi))
        {
            hits.push_back(_sTQPickingResultEntry{id, kUnmeasuredDistance, CTQVector3()});
            found = true;
        }
    }
    return found;
}

bool CTQObjectOcttree::PickObjectsInRect(std::set<int>& ids, std::int32_t viewport, int x0, int y0, int x1, int y1,
                                         eTQPickingBehaviour)
{
    sTQSpatialView view;
    if (!TQGetSpatialView(viewport, "CTQObjectOcttree::PickObjectsInRect()", false, view))
        return false;
    CTQVector3 a;
    CTQVector3 b;
    TQPixelToDevice(view, x0, y0, a.x, a.y);
    TQPixelToDevice(view, x1, y1, b.x, b.y);
    const CTQVector3 lo(std::min(a.x, b.x), std::min(a.y, b.y), -1.0f);
    const CTQVector3 hi(std::max(a.x, b.x), std::max(a.y, b.y), 1.0f);
    return CollectInVolume(ids, view.clipFromWorld, lo, hi);
}

bool CTQObjectOcttree::EnumerateObjectsInRect(std::set<int>& ids, float x0, float y0, float x1, float y1,
                                              eTQPickingBehaviour)
{
    const float loX = std::min(x0, x1);
    const float hiX = std::max(x0, x1);
    const float loY = std::min(y0, y1);
    const float hiY = std::max(y0, y1);
    bool found = false;
    for (std::int32_t id : m_oObjects)
    {
        const CTQVisual3d* visual = TQPeekObjectAs<CTQVisual3d>(id);
        if (!visual)
            continue;
        CTQVector3 min;
        CTQVector3 max;
        visual->GetSystemBoundingBox(min, max);
        if (max.x >= loX && max.y >= loY && min.x <= hiX && min.y <= hiY)
        {
            ids.insert(id);
            found = true;
        }
    }
    return found;
}

// ---- Stored form ----------------------------------------------------------------

void CTQObjectOcttree::Serialize(CTQDataStream& s)
{
    TQSerializeBase<CTQVisual>(s, *this);
    TQSerializeIdSet(s, m_oObjects);
}
